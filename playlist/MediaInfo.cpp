#include "playlist/MediaInfo.h"

const std::array<const char*, 40> MovieGenres = {
    "Action", "Action/Adventure", "Adventure", "Adult", "Claymation", "Comedy", "Documentary", "Drama", "Horror",
    "Infomercial", "Mystery", "Music Video", "Religion", "Science Fiction", "Thriller", "Western", "Eastern", "Erotic",
    "Fantasy", "Military & War", "Musical", "Slapstick", "Splatter", "Sports", "Child's", "Historical", "Nature", "Humor",
    "Political Satire", "Indian", "Concert", "Catastrophe", "Extreme Sport", "Fashion", "Entertaining", "Popular Science",
    "Horror/Mystic", "Scifi Action", "Psychological Thriller", "Melodrama"};

const std::array<const char*, 18> ContentTypes = {
    "Anime", "Cartoon", "Movie", "Commercial & Advertising", "Home Video", "Interactive", "Music Clip", "Television",
    "News", "Author's Telecast", "Serial", "Cartoon Serial", "Screening", "Teleplay", "Teletranslation", "Computer Game",
    "Movie Trailer", "Game Trailer"};

const std::array<const char*, 57> Languages = {
    "Undefined", "Arabic", "Bulgarian", "Catalan", "Chinese", "Czech", "Danish", "German", "Greek", "English", "Spanish",
    "Finnish", "French", "Hebrew", "Hungarian", "Icelandic", "Italian", "Japanese", "Korean", "Dutch", "Norwegian",
    "Polish", "Portuguese", "Rhaeto-Romanic", "Romanian", "Russian", "Serbo-Croatian", "Slovak", "Albanian", "Swedish",
    "Thai", "Turkish", "Urdu", "Indonesian (Bahasa)", "Ukrainian", "Belarusian", "Slovenian", "Estonian", "Latvian",
    "Lithuanian", "Farsi", "Vietnamese", "Basque", "Sorbian", "Macedonian (FYROM)", "Sutu", "Tsonga", "Tswana", "Xhosa",
    "Zulu", "Afrikaans", "Faeroese", "Hindi", "Maltese", "Gaelic", "Yiddish", "Malay"};

const std::array<const char*, 6> Ratings = {"Unrated", "G", "PG", "PG-13", "R", "NC-17"};

const std::array<const char*, 7> MediaTypes = {"Film", "Filmstrip", "Analogue Video", "Digital Video",
                                               "Vector Animation", "3D Graphics", "Streaming Video"};

const std::array<const char*, 29> SourceMedia = {
    "8mm film", "35mm film", "VHS tape", "S-VHS tape", "VHS-C tape", "HDTV air", "TV air", "Flash file", "DVD",
    "Video CD", "AVI file", "BetaCam tape", "ASF file", "RealMedia file", "DV tape", "MiniDV tape", "DVCam tape",
    "DVCPro tape", "WMV file", "Hi-8 tape", "Digital 8 tape", "Super VideoCD", "Betamax tape", "3/4\" UMatic tape",
    "BetaCam SP tape", "8mm tape", "70mm film", "Super 35mm film", "MPEG2 file"};

const std::array<const char*, 9> SpeakerLayouts = {
    "Headphones", "2 Speakers (Stereo)", "3 Speakers (2.1)", "4 Speakers (Kvartroni)", "5 Speakers (4.1)",
    "6 Speakers (5.1)", "7 Speakers (6.1)", "8 Speakers (7.1)", "9 Speakers (8.1)"};
