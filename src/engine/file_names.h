// File names handed to the media libraries. The libraries treat the text before a ':' as a
// protocol, so local files are opened through our own file access (media_file_io.h), and names
// outside plain ASCII travel as "unicode:utf8:" URLs that this side decodes again.
#pragma once

#include <string>
#include <string_view>

namespace korvex::engine {

// True when the name starts with one of the protocols the libraries open themselves
// ("unicode", "stream", "gopher", "http", "pipe", "rtp", "tcp", "udp") followed by ':'.
bool HasLibraryProtocol(std::string_view name);

// The name as the libraries get it: protocol names unchanged, names made only of ASCII
// characters unchanged, any other name as "unicode:utf8:" + the name.
std::string FileNameToLibrary(std::string_view name);

// The user's file name of a name read back from the libraries.
std::string FileNameFromLibrary(std::string_view text);

}  // namespace korvex::engine
