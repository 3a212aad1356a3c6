#pragma once
// Changing the audio path of a built graph: which separate audio pin feeds the audio chain.
#include "dshow/DShow.h"

#include <vector>

// Feeds the audio chain's input from `requested` instead of the audio pin that feeds it now
// (the first pin of `audioPins` with a peer), through whatever decoder the graph inserts.
// False, leaving the graph alone, when no audio pin is connected or the requested one already
// is. When the requested pin cannot connect, the previous pin is connected again and the
// position and run state are restored: False. On success the graph resumes from the same
// position and runs: True unless the run fails.
bool SwitchAudioPin(IGraphBuilder* graph, const std::vector<IPin*>& audioPins, IPin* requested, IPin* chainInput);
