#pragma once
// The parts of the graph utilities that need no platform: texts of graph events.
#include <string>

// "NAME - description." for the graph events the player knows, else
// "Unknow Graph Event ($%x)" with the code in upper-case hexadecimal.
void GetEventCodeText(int eventCode, std::string& text);
