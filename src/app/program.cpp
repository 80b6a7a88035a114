#include "app/program.h"

#include <fcntl.h>
#include <gdkmm/screen.h>
#include <gtkmm/cssprovider.h>
#include <gtkmm/main.h>
#include <gtkmm/stylecontext.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <string_view>

#include "model/bounded_read.h"
#include "model/parameter_record.h"
#include "ui/main_window.h"
#include "ui/symbol_style.h"

void init_toolkit(int& argc, char**& argv) {
    // gtkmm's own set-up (the C++ wrappers of every widget type) comes with Gtk::Main;
    // gtk_init alone leaves it out. The instance is never destroyed: the toolkit stays up
    // until the process ends.
    static Gtk::Main* kit = nullptr;
    if (kit == nullptr) {
        kit = new Gtk::Main(argc, argv);
    }
}

namespace {

// A style sheet is a few kilobytes; anything larger than this is not one.
constexpr std::size_t kLargestStyleSheet = std::size_t(1) << 20;
// An image a sheet names, for a background or an icon.
constexpr std::size_t kLargestImage = std::size_t(16) << 20;

// GTK parses a selector by recursing once per combinator (space, >, + or ~): a chain of some
// ten thousand overflows the stack. Real selectors have a handful.
constexpr int kLongestSelectorChain = 256;

bool starts_with_ignoring_case(std::string_view text, std::size_t at, std::string_view word) {
    if (text.size() - at < word.size())
        return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[at + i])) != word[i])
            return false;
    return true;
}

// The quoted string (or, where bare is allowed, as in url(), the bare word) that starts
// after spaces at css[at]; at ends after it.
std::string read_argument(std::string_view css, std::size_t& at, bool bare_allowed) {
    while (at < css.size() && std::isspace(static_cast<unsigned char>(css[at])))
        ++at;
    std::string name;
    if (at < css.size() && (css[at] == '"' || css[at] == '\'')) {
        const char quote = css[at++];
        while (at < css.size() && css[at] != quote && css[at] != '\n')
            name += css[at++];
        ++at;
    } else if (bare_allowed) {
        while (at < css.size() && css[at] != ')' &&
               !std::isspace(static_cast<unsigned char>(css[at])))
            name += css[at++];
    }
    return name;
}

// GTK opens the files a sheet names (images in url(), other sheets in @import) without any
// of the checks above, so they must pass checks of their own before the sheet is handed
// over. GTK's own resources are safe; a name that is not a URI is taken, as GTK takes it,
// from the working directory.
std::string named_file_problem(const std::string& name, bool imported) {
    if (starts_with_ignoring_case(name, 0, "resource:"))
        return {};
    // An imported sheet would escape the checks of its text.
    if (imported)
        return "it imports " + name + ", which is not read";
    if (name.find('\\') != std::string::npos)
        return "it names " + name + " with escapes";
    std::string local = name;
    if (char* scheme = g_uri_parse_scheme(name.c_str())) {
        g_free(scheme);
        gchar* path = g_filename_from_uri(name.c_str(), nullptr, nullptr);
        if (path == nullptr)
            return "it names " + name + ", which is not a local file";
        local = path;
        g_free(path);
    }
    struct stat status {};
    if (::stat(local.c_str(), &status) != 0)
        return {};  // GTK itself reports an image it cannot find, and draws without it
    if (!S_ISREG(status.st_mode))
        return name + " is not a regular file";
    if (std::size_t(status.st_size) > kLargestImage)
        return name + " is larger than 16 MiB";
    return {};
}

// What makes the sheet unsafe to hand to GTK, or an empty string: a selector chain long
// enough to overflow GTK's parser, or a named file that fails named_file_problem.
std::string style_sheet_problem(std::string_view css) {
    int chain = 0;
    bool in_separator = true;
    std::size_t i = 0;
    while (i < css.size()) {
        const char c = css[i];
        if (c == '/' && i + 1 < css.size() && css[i + 1] == '*') {
            const std::size_t end = css.find("*/", i + 2);
            i = end == std::string_view::npos ? css.size() : end + 2;
            continue;
        }
        const bool import = starts_with_ignoring_case(css, i, "@import");
        if (import || starts_with_ignoring_case(css, i, "url(")) {
            i += import ? 7 : 4;
            bool url = !import;
            if (import) {
                while (i < css.size() && std::isspace(static_cast<unsigned char>(css[i])))
                    ++i;
                url = starts_with_ignoring_case(css, i, "url(");
                i += url ? 4 : 0;
            }
            const std::string name = read_argument(css, i, url);
            if (std::string problem = named_file_problem(name, import); !problem.empty())
                return problem;
            in_separator = false;
            continue;
        }
        if (c == '"' || c == '\'') {
            read_argument(css, i, false);
            in_separator = false;
            continue;
        }
        if (c == '{' || c == '}' || c == ';' || c == ',') {
            chain = 0;
            in_separator = true;
        } else if (std::isspace(static_cast<unsigned char>(c)) || c == '>' || c == '+' ||
                   c == '~') {
            in_separator = true;
        } else if (in_separator) {
            in_separator = false;
            if (++chain > kLongestSelectorChain)
                return "a selector chains more than " + std::to_string(kLongestSelectorChain) +
                       " elements";
        }
        ++i;
    }
    return {};
}

}  // namespace

bool load_style_sheet(const std::string& path) {
    const BoundedRead sheet = read_bounded_file(path, kLargestStyleSheet);
    if (sheet.missing)
        return true;
    std::string problem = sheet.problem;
    if (problem.empty())
        problem = style_sheet_problem(sheet.text);
    if (!problem.empty()) {
        std::cerr << "lumitra: " << path << " ignored (" << problem << ")" << std::endl;
        return false;
    }
    auto provider = Gtk::CssProvider::create();
    bool failed = false;
    std::string first_error;
    provider->signal_parsing_error().connect(
        [&](const Glib::RefPtr<const Gtk::CssSection>& section, const Glib::Error& error) {
            if (!failed) {
                first_error =
                    "line " + std::to_string(section->get_start_line() + 1) + ": " + error.what();
            }
            failed = true;
        });
    try {
        provider->load_from_data(sheet.text);
    } catch (const Glib::Error& error) {
        if (!failed) {
            first_error = error.what();
        }
        failed = true;
    }
    if (failed) {
        std::cerr << "lumitra: " << path << " ignored (" << first_error << ")" << std::endl;
        return false;
    }
    if (auto screen = Gdk::Screen::get_default()) {
        Gtk::StyleContext::add_provider_for_screen(screen, provider,
                                                   GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    }
    return true;
}

int run_lumitra(int argc, char** argv) {
    // The locale is set by the toolkit's initialisation; there is no RGB set-up to do in
    // GTK 3, and tooltips need no shared object there.
    init_toolkit(argc, argv);
    load_style_sheet("./gtkrc");
    set_default_parameters();
    create_symbol_style();
    {
        MainWindow window(parameters);
        gtk_main();
    }
    return 0;
}
