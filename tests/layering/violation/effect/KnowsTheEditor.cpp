#include "editor/GRAPH.h"
