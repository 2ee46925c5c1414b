// old name, until the window and session are reworked: the device image is now the device
// mirror (protocol/device_mirror.h).
#pragma once
#include "protocol/device_mirror.h"
