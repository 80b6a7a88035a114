#include "ui/figure_window.h"

#include <gtkmm/box.h>
#include <gtkmm/buttonbox.h>
#include <gtkmm/frame.h>

#include "model/controls.h"
#include "model/parameter_record.h"
#include "model/texts.h"
#include "render/frame_rendering.h"
#include "ui/widget_builders.h"

namespace {

constexpr char kTitle[] = "Lumitra - Interference Figure";
constexpr RowWidths kWidths{60, 100};

}  // namespace

FigureWindow::FigureWindow(Gtk::Window& parent, Figure figure) : view_(std::move(figure)) {
    build(parent);
    dialog_.show_all();
    gtk_grab_add(GTK_WIDGET(dialog_.gobj()));
}

FigureWindow::~FigureWindow() {
    close();
}

void FigureWindow::build(Gtk::Window& parent) {
    dialog_.set_title(kTitle);
    dialog_.set_border_width(5);
    // Window managers keep the figure above the window it makes inert.
    dialog_.set_transient_for(parent);

    auto* row = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_HORIZONTAL, 0));
    dialog_.get_content_area()->pack_start(*row, false, false, 0);

    auto* figure_column = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_VERTICAL, 0));
    row->pack_start(*figure_column, false, false, 0);
    auto* frame = Gtk::manage(new Gtk::Frame());
    frame->set_shadow_type(Gtk::SHADOW_IN);
    frame->set_border_width(10);
    // The white area keeps its size, the figure plus the margin on every side, and is
    // centred when the animation's buttons make the column wider.
    frame->set_halign(Gtk::ALIGN_CENTER);
    figure_column->pack_start(*frame, false, false, 0);
    frame->add(view_.area());

    auto* slider_column = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_VERTICAL, 0));
    slider_column->set_border_width(10);
    row->pack_start(*slider_column, false, false, 0);

    const Figure& figure = view_.figure();
    const float reference = figure.reference_light;
    light_scale_ = make_labeled_scale(*slider_column, texts::light_intensity, kWidths, reference,
                                      light_range(reference));
    gamma_scale_ = make_labeled_scale(*slider_column, texts::gamma_value, kWidths,
                                      figure.encoding_gamma, controls::kDisplayGamma);
    set_tooltip(*light_scale_, texts::light_intensity_tip);
    set_tooltip(*gamma_scale_, texts::gamma_value_tip);
    const auto on_tone_changed = [this] {
        view_.set_tones(static_cast<float>(light_scale_->get_value()),
                        static_cast<float>(gamma_scale_->get_value()));
    };
    light_scale_->signal_value_changed().connect(on_tone_changed);
    gamma_scale_->signal_value_changed().connect(on_tone_changed);

    if (figure.setup.params.draw_mode == kAnimation)
        animation_ = std::make_unique<FigureAnimation>(figure, *figure_column, *slider_column,
                                                       [this](int k) { view_.show_frame(k); });
    save_dialog_ = std::make_unique<SaveDialog>(dialog_, view_, animation_.get());

    Gtk::ButtonBox* actions = dialog_.get_action_area();
    actions->set_border_width(5);
    save_ = make_button(*actions, texts::save);
    close_ = make_button(*actions, texts::close);
    set_tooltip(*save_, texts::save_tip);
    set_tooltip(*close_, texts::close_tip);
    save_->signal_clicked().connect([this] { save_dialog_->run(); });
    close_->signal_clicked().connect([this] { close(); });
    dialog_.signal_delete_event().connect([this](GdkEventAny*) {
        close();
        return true;
    });
}

void FigureWindow::close() {
    if (closed_)
        return;
    closed_ = true;
    gtk_grab_remove(GTK_WIDGET(dialog_.gobj()));
    dialog_.hide();
    // A running timeout must not tick into frames that are gone.
    if (animation_)
        animation_->stop();
    view_.release();
}
