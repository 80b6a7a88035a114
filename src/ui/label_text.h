// The program keeps every Japanese text as Shift-JIS bytes (texts.h) and converts it to
// UTF-8, then to the user's language, only at the moment a widget is made or relabelled.
#pragma once

#include <string>

// Converts a Shift-JIS text to UTF-8. The program's own constants always convert; a
// message that embeds a typed file name may not be valid Shift-JIS, and then every byte
// that does not convert shows as U+FFFD while the rest of the text stays readable, so the
// user never sees an empty label.
std::string sjis_to_utf8(const char* sjis);

// The text a widget shows for one of the program's Shift-JIS texts: its UTF-8 reading, in
// the user's language (ui/translation.h). A message's template is translated before a file
// name goes in, so that the name is never looked up.
std::string shown_text(const char* sjis);
