#include "ui/chart_window.h"

#include <glib.h>
#include <gtkmm/filechooserdialog.h>

#include <cstdio>

#include "model/accessories.h"
#include "model/derived_values.h"
#include "model/texts.h"
#include "output/chart_writer.h"
#include "output/file_extension.h"
#include "ui/label_text.h"
#include "ui/message_dialog.h"
#include "ui/save_dialog.h"
#include "ui/widget_builders.h"

namespace {

// The area's first size: the renderer's chart at half scale, readable beside the main window.
constexpr int kOpeningWidth = kChartWidth / 2 + 100;
constexpr int kOpeningHeight = kChartHeight / 2 + 50;

}  // namespace

ChartWindow::ChartWindow(Gtk::Window& parent, RecordEditor& editor,
                         const std::vector<Mineral>& minerals)
    : editor_(editor), minerals_(minerals) {
    set_title(shown_text(texts::colour_chart));
    set_transient_for(parent);
    set_type_hint(Gdk::WINDOW_TYPE_HINT_DIALOG);
    add(outer_);
    area_.set_size_request(kOpeningWidth, kOpeningHeight);
    outer_.pack_start(area_, true, true, 0);
    actions_.set_layout(Gtk::BUTTONBOX_END);
    actions_.set_border_width(5);
    outer_.pack_end(actions_, false, true, 0);
    save_ = make_button(actions_, texts::save);
    save_->signal_clicked().connect(sigc::mem_fun(*this, &ChartWindow::run_save_dialog));
    area_.signal_draw().connect(sigc::mem_fun(*this, &ChartWindow::on_area_draw));
    follow_ =
        editor_.signal_changed().connect(sigc::mem_fun(*this, &ChartWindow::on_record_changed));
    chart_ = build_chart(settings(kOpeningWidth, kOpeningHeight), minerals_);
    show_all();
}

ChartWindow::~ChartWindow() {
    follow_.disconnect();
}

ChartSettings ChartWindow::settings(int width, int height) const {
    const ParameterRecord& record = editor_.record();
    ChartSettings s;
    s.width = width;
    s.height = height;
    s.plate = accessory_retardation(record);
    s.crystal = ChartCrystal{record_birefringence(record), double(record.thickness)};
    return s;
}

void ChartWindow::on_record_changed() {
    const ChartSettings now = settings(chart_.settings.width, chart_.settings.height);
    // Only another accessory changes the colours; the crystal moves over the same field.
    if (now.plate != chart_.settings.plate)
        chart_ = build_chart(now, minerals_);
    else
        place_crystal(chart_, now.crystal);
    area_.queue_draw();
}

bool ChartWindow::on_area_draw(const Cairo::RefPtr<Cairo::Context>& cr) {
    const int width = area_.get_allocated_width();
    const int height = area_.get_allocated_height();
    if (width != chart_.settings.width || height != chart_.settings.height)
        chart_ = build_chart(settings(width, height), minerals_);
    paint_chart(cr->cobj(), chart_);
    return true;
}

void ChartWindow::run_save_dialog() {
    Gtk::FileChooserDialog chooser(shown_text(texts::colour_chart), Gtk::FILE_CHOOSER_ACTION_SAVE);
    chooser.set_transient_for(*this);
    chooser.add_button("_Cancel", Gtk::RESPONSE_CANCEL);
    chooser.add_button("_Save", Gtk::RESPONSE_ACCEPT);
    chooser.set_default_response(Gtk::RESPONSE_ACCEPT);
    chooser.set_current_name("chart.png");
    while (chooser.run() == Gtk::RESPONSE_ACCEPT) {
        const std::string path = chooser.get_filename();
        if (path.empty())
            continue;
        if (!chart_format(path)) {
            const std::optional<std::string_view> extension = file_extension(path);
            show_message_utf8(
                this, message_with_name(texts::not_supported, std::string(extension.value_or(""))));
            continue;
        }
        chooser.hide();
        save(path);
        break;
    }
}

bool ChartWindow::save(const std::string& path) {
    if (!chart_format(path)) {
        show_message_utf8(this, message_with_name(texts::not_supported,
                                                  std::string(file_extension(path).value_or(""))));
        return false;
    }
    const std::optional<OutputError> error =
        write_chart(path, build_chart(settings(kChartWidth, kChartHeight), minerals_));
    if (!error)
        return true;
    std::fprintf(stderr, "lumitra: %s\n", error->what.c_str());
    std::string text = message_with_name(texts::file_create_failed, path);
    if (error->error_number != 0)
        text += std::string("\n") + g_strerror(error->error_number);
    show_message_utf8(this, text);
    return false;
}
