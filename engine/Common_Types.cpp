#include "engine/Common_Types.h"

const std::array<const char*, 19> EQPresetNames = {
    "(Default) Disabled", "Classical", "Club", "Dance", "Full Bass", "Full Bass & Treble", "Full Treble",
    "Labtop", "Large Hall", "Live", "Loudness", "Party", "Pop", "Reggae", "Rock", "Ska", "Soft", "Soft Rock",
    "Techno",
};

const std::array<const char*, 18> AC3SpeakerConfigNames = {
    "1+1 - Dual mono", "1/0 - mono", "2/0 - stereo", "3/0 - 3 front", "2/1 - surround", "3/1 - surround",
    "2/2 - quadro", "3/2 - 5 channels", "1+1+LFE Dual mono+LFE", "1/0+LFE 1.1 mono", "2/0+LFE 2.1 stereo",
    "3/0+LFE 3.1 front", "2/1+LFE 3.1 surround", "3/1+LFE 4.1 surround", "2/2+LFE 4.1 quadro",
    "3/2+LFE 5.1 channels", "Dolby Surround", "Dolby Surround + LFE",
};
