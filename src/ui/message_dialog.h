// The one modal message dialog through which every failure reaches the user.
#pragma once

#include <string>

namespace Gtk {
class Window;
}

// Shows the Shift-JIS text in a modal dialog "Lumitra - Message" with the button "了解"
// and returns when the user has pressed it or closed the dialog from its window frame.
// Other windows keep painting and their timeouts keep running meanwhile. The dialog stays
// above parent, the window the user was working in (nullptr for none).
void show_message(Gtk::Window* parent, const char* sjis);

// The same for a text that is already UTF-8, for messages that embed a file name: a path
// is never passed through the Shift-JIS conversion.
void show_message_utf8(Gtk::Window* parent, const std::string& utf8);
