#include "editor/IEditorSurface.h"
