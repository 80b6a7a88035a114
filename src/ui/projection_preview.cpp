#include "ui/projection_preview.h"

#include "model/derived_values.h"
#include "model/parameter_record.h"
#include "model/texts.h"
#include "optics/rounding.h"
#include "render/figure_overlay.h"
#include "render/preview_geometry.h"
#include "ui/cairo_drawing.h"
#include "ui/other_parameters_panel.h"
#include "ui/widget_builders.h"

namespace {

Gtk::Frame* frame = nullptr;
Gtk::Button* button = nullptr;
Gtk::DrawingArea* area = nullptr;
Cairo::RefPtr<Cairo::ImageSurface> picture;

void use_colour(const Cairo::RefPtr<Cairo::Context>& cr, PreviewColour colour) {
    const Rgb rgb = preview_rgb(colour);
    set_colour(cr, rgb.red, rgb.green, rgb.blue);
}

void outline_circle(const Cairo::RefPtr<Cairo::Context>& cr, PreviewColour colour, int r) {
    use_colour(cr, colour);
    draw_circle(cr, kPreviewCentre, kPreviewCentre, r, false);
}

void fill_square(const Cairo::RefPtr<Cairo::Context>& cr, const PreviewSquare& square) {
    use_colour(cr, square.colour);
    draw_rectangle(cr, square.left, square.top, square.left + kPreviewMarkSide,
                   square.top + kPreviewMarkSide, true);
}

void draw_legend(const Cairo::RefPtr<Cairo::Context>& cr) {
    for (const PreviewLegendEntry& entry : preview_legend(parameters.axis_type)) {
        fill_square(cr, entry.square);
        // The legend is written in the drawing area's own font.
        Glib::RefPtr<Pango::Layout> layout = area->create_pango_layout(entry.text);
        const double baseline = layout->get_baseline() / static_cast<double>(PANGO_SCALE);
        use_colour(cr, PreviewColour::kWhite);
        cr->move_to(entry.text_x, entry.text_baseline - baseline);
        layout->show_in_cairo_context(cr);
    }
}

void paint_picture() {
    auto cr = Cairo::Context::create(picture);
    use_colour(cr, PreviewColour::kBlack);
    cr->paint();
    outline_circle(cr, PreviewColour::kWhite, kPreviewRadius);
    // The cone of wave normals inside the crystal that the objective's aperture admits,
    // projected like the figure.
    outline_circle(
        cr, PreviewColour::kGreen,
        round_half_away(field_of_view_radius(parameters.numerical_aperture, mean_index(parameters),
                                             parameters.projection_kind, kPreviewRadius)));
    for (const PreviewSquare& mark : preview_axis_marks(parameters))
        fill_square(cr, mark);
    draw_legend(cr);
    picture->flush();
}

bool on_area_draw(const Cairo::RefPtr<Cairo::Context>& cr) {
    // The picture keeps the size the drawing asks for; the rest of a wider allocation is
    // background.
    use_colour(cr, PreviewColour::kBlack);
    cr->paint();
    if (picture) {
        cr->set_source(picture, 0.0, 0.0);
        cr->paint();
    }
    return false;
}

void toggle_projection() {
    if (parameters.projection_kind == kSineProjection) {
        parameters.projection_kind = kWulffProjection;
        set_button_label(*button, texts::wulff_projection);
    } else {
        parameters.projection_kind = kSineProjection;
        set_button_label(*button, texts::sine_projection);
    }
    redraw_projection_preview();
}

void forget_widgets(GtkWidget*, gpointer) {
    frame = nullptr;
    button = nullptr;
    area = nullptr;
    picture.clear();
}

}  // namespace

Gtk::Frame* build_projection_preview(Gtk::Box& box) {
    frame = Gtk::manage(new Gtk::Frame());
    frame->set_border_width(10);
    box.pack_start(*frame, false, false, 7);
    g_signal_connect(frame->gobj(), "destroy", G_CALLBACK(&forget_widgets), nullptr);
    auto* column = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_VERTICAL, 0));
    frame->add(*column);

    button = make_button(*column, texts::sine_projection);
    set_tooltip(*button, texts::projection_tip);
    parameters.projection_kind = kSineProjection;
    button->signal_clicked().connect(&toggle_projection);

    area = Gtk::manage(new Gtk::DrawingArea());
    area->set_size_request(kPreviewWidth, kPreviewHeight);
    column->pack_start(*area, false, false, 0);
    area->signal_draw().connect(&on_area_draw);

    picture = Cairo::ImageSurface::create(Cairo::FORMAT_RGB24, kPreviewWidth, kPreviewHeight);
    set_aperture_redraw_hook(&redraw_projection_preview);
    frame->show_all();
    redraw_projection_preview();
    return frame;
}

void redraw_projection_preview() {
    if (!picture || area == nullptr)
        return;
    paint_picture();
    area->queue_draw();
}

Gtk::Button* projection_button() {
    return button;
}
Cairo::RefPtr<Cairo::ImageSurface> projection_preview_surface() {
    return picture;
}
