#include "gui_harness.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "model/parameter_record.h"
#include "ui/main_window.h"

namespace gui_test {

namespace {

void collect(GtkWidget* widget, const std::function<bool(GtkWidget*)>& visit) {
    if (!visit(widget)) {
        return;
    }
    if (GTK_IS_CONTAINER(widget)) {
        GList* children = nullptr;
        gtk_container_forall(
            GTK_CONTAINER(widget),
            [](GtkWidget* child, gpointer list) {
                *static_cast<GList**>(list) = g_list_append(*static_cast<GList**>(list), child);
            },
            &children);
        for (GList* l = children; l != nullptr; l = l->next) {
            collect(GTK_WIDGET(l->data), visit);
        }
        g_list_free(children);
    }
}

}  // namespace

void run_pending_events() {
    while (gtk_events_pending()) {
        gtk_main_iteration();
    }
}

void inject(std::function<void()> action, unsigned delay_ms) {
    Glib::signal_timeout().connect_once(std::move(action), delay_ms);
}

void send_window_close(Gtk::Window& window) {
    auto gdk_window = window.get_window();
    ASSERT_TRUE(gdk_window) << "the window is not realized";
    GdkEvent* event = gdk_event_new(GDK_DELETE);
    event->any.window = GDK_WINDOW(g_object_ref(gdk_window->gobj()));
    event->any.send_event = TRUE;
    gdk_event_put(event);
    gdk_event_free(event);
}

bool run_until(const std::function<bool()>& done, unsigned timeout_ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (!done() && std::chrono::steady_clock::now() < deadline) {
        if (gtk_events_pending()) {
            gtk_main_iteration();
        } else {
            g_usleep(1000);
        }
    }
    return done();
}

Gtk::Window* find_window(const std::string& title) {
    for (Gtk::Window* window : Gtk::Window::list_toplevels()) {
        if (window->get_visible() && window->get_title() == title) {
            return window;
        }
    }
    return nullptr;
}

MainWindow* find_main_window() {
    for (Gtk::Window* window : Gtk::Window::list_toplevels())
        if (auto* main = dynamic_cast<MainWindow*>(window))
            return main;
    return nullptr;
}

Gtk::Button* find_button(Gtk::Widget& root, const std::string& text) {
    GtkWidget* found = nullptr;
    collect(root.gobj(), [&](GtkWidget* widget) {
        if (found == nullptr && GTK_IS_BUTTON(widget)) {
            GtkWidget* child = gtk_bin_get_child(GTK_BIN(widget));
            if (child != nullptr && GTK_IS_LABEL(child) &&
                text == gtk_label_get_text(GTK_LABEL(child))) {
                found = widget;
            }
        }
        return found == nullptr;
    });
    return found != nullptr ? Glib::wrap(GTK_BUTTON(found)) : nullptr;
}

std::vector<std::string> label_texts(Gtk::Widget& root) {
    std::vector<std::string> texts;
    collect(root.gobj(), [&](GtkWidget* widget) {
        if (GTK_IS_LABEL(widget)) {
            texts.emplace_back(gtk_label_get_text(GTK_LABEL(widget)));
        }
        return true;
    });
    return texts;
}

std::vector<std::string> shown_texts(Gtk::Widget& root) {
    std::vector<std::string> texts;
    collect(root.gobj(), [&](GtkWidget* widget) {
        if (GTK_IS_LABEL(widget))
            texts.emplace_back(gtk_label_get_text(GTK_LABEL(widget)));
        if (gchar* tip = gtk_widget_get_tooltip_text(widget)) {
            texts.emplace_back(tip);
            g_free(tip);
        }
        return true;
    });
    return texts;
}

bool contains(const std::vector<std::string>& texts, const std::string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

std::vector<std::uint8_t> surface_rgb(const Cairo::RefPtr<Cairo::ImageSurface>& surface) {
    surface->flush();
    std::vector<std::uint8_t> rgb;
    rgb.reserve(std::size_t(3) * surface->get_width() * surface->get_height());
    for (int y = 0; y < surface->get_height(); ++y) {
        const auto* row =
            reinterpret_cast<const std::uint32_t*>(surface->get_data() + y * surface->get_stride());
        for (int x = 0; x < surface->get_width(); ++x)
            rgb.insert(rgb.end(), {std::uint8_t(row[x] >> 16), std::uint8_t(row[x] >> 8),
                                   std::uint8_t(row[x])});
    }
    return rgb;
}

std::vector<std::uint8_t> shown_pixels(FigureWindow& window) {
    return surface_rgb(window.view().shown_surface());
}

bool translated_run() {
    return std::getenv(kTranslatedRun) != nullptr;
}

std::string rerun_command(const std::string& settings) {
    // The child skips the leak check and its slow full-stack recording under
    // AddressSanitizer: this process runs the same windows with both.
    const char* sanitizer = std::getenv("ASAN_OPTIONS");
    return "env -u LANGUAGE -u LC_ALL -u LC_MESSAGES -u LANG ASAN_OPTIONS=" +
           std::string(sanitizer != nullptr ? sanitizer : "") +
           ":detect_leaks=0:fast_unwind_on_malloc=1 " + settings + " " +
           std::filesystem::read_symlink("/proc/self/exe").string();
}

bool run_translated(const std::string& locale_settings) {
    if (translated_run())
        return true;
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string command = rerun_command(locale_settings + " " + kTranslatedRun + "=1") +
                                " --gtest_filter=" + test->test_suite_name() + "." + test->name();
    return std::system(command.c_str()) == 0;
}

GtkWidget* grab_window() {
    GtkWidget* grab = gtk_grab_get_current();
    return grab != nullptr ? gtk_widget_get_toplevel(grab) : nullptr;
}

Watchdog::Watchdog(unsigned timeout_ms) {
    timeout_ = Glib::signal_timeout().connect(
        [] {
            ADD_FAILURE() << "nothing ended the main loop in time";
            if (gtk_main_level() > 0) {
                gtk_main_quit();
            }
            return false;
        },
        timeout_ms);
}

Watchdog::~Watchdog() {
    timeout_.disconnect();
}

void GuiTest::SetUp() {
    parameters = ParameterRecord{};
    set_default_parameters();
}

void GuiTest::TearDown() {
    run_pending_events();
}

}  // namespace gui_test
