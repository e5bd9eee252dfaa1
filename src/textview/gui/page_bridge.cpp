#include "textview/gui/page_bridge.h"
