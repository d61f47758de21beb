// A graphics header that reaches up into the controls: the layer check must reject it.
#pragma once

#include "framework/classes/Component.h"
#include "framework/controls/Controls.h"
