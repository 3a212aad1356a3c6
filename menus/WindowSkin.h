#pragma once
// The skin a player window holds for its popup menus: a TMoney with the look the window
// stores over the loaded resource.
#include "AnimatedSkinCore.h"

#include <string>

TMoney* NewWindowSkin(TComponent* window, const std::string& name, T_AM2000_Animation animation, int sideMargin);
