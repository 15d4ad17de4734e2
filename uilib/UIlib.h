#pragma once

// The skinned-window library: windows built from XML layouts, with DuiLib's
// class and operation names for the subset the launcher uses.
#include "uilib/UIString.h"
#include "uilib/UINotify.h"
#include "uilib/UIControl.h"
#include "uilib/UIManager.h"
#include "uilib/UIBuilder.h"
#include "uilib/UIBase.h"
#include "uilib/WindowImplBase.h"
