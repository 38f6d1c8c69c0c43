#include "framework/vst2/Vst2Interface.h"
