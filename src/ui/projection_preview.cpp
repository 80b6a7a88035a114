#include "ui/projection_preview.h"

#include "model/controls.h"
#include "model/derived_values.h"
#include "model/texts.h"
#include "optics/rounding.h"
#include "render/figure_overlay.h"
#include "render/preview_geometry.h"
#include "ui/cairo_drawing.h"
#include "ui/label_text.h"
#include "ui/widget_builders.h"

namespace {

const SwitchControl& projection_switch() {
    return switch_control(&ParameterRecord::projection_kind);
}

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

}  // namespace

ProjectionPreview::ProjectionPreview(RecordEditor& editor) : editor_(editor) {
    set_border_width(10);
    add(column_);
    const SwitchControl& projection = projection_switch();
    button_ = make_button(column_, caption_of(projection, editor_.record().projection_kind));
    set_tooltip(*button_, projection.tip);
    button_->signal_clicked().connect([this] {
        std::int32_t& kind = editor_.record().projection_kind;
        kind = next_value(projection_switch(), kind);
        editor_.changed();
    });

    area_.set_size_request(kPreviewWidth, kPreviewHeight);
    column_.pack_start(area_, false, false, 0);
    area_.signal_draw().connect(sigc::mem_fun(*this, &ProjectionPreview::on_area_draw));
    // What the two circles stand for, beneath the drawing: the drawing keeps its size and
    // layout, and the text wraps within its width in either language.
    legend_.set_text(shown_text(texts::preview_rim_legend) + "\n" +
                     shown_text(texts::preview_field_legend));
    legend_.set_xalign(0.0f);
    legend_.set_line_wrap(true);
    legend_.set_max_width_chars(1);
    legend_.set_size_request(kPreviewWidth, -1);
    column_.pack_start(legend_, false, false, 4);
    picture_ = Cairo::ImageSurface::create(Cairo::FORMAT_RGB24, kPreviewWidth, kPreviewHeight);
    editor_.signal_changed().connect(sigc::mem_fun(*this, &ProjectionPreview::show_record));
}

void ProjectionPreview::show_record() {
    const std::int32_t kind = editor_.record().projection_kind;
    set_button_label(*button_, caption_of(projection_switch(), kind));
    paint_picture();
    area_.queue_draw();
}

void ProjectionPreview::draw_legend(const Cairo::RefPtr<Cairo::Context>& cr) {
    for (const PreviewLegendEntry& entry : preview_legend(editor_.record().axis_type)) {
        fill_square(cr, entry.square);
        // The legend is written in the drawing area's own font.
        Glib::RefPtr<Pango::Layout> layout = area_.create_pango_layout(entry.text);
        const double baseline = layout->get_baseline() / static_cast<double>(PANGO_SCALE);
        use_colour(cr, PreviewColour::kWhite);
        cr->move_to(entry.text_x, entry.text_baseline - baseline);
        layout->show_in_cairo_context(cr);
    }
}

void ProjectionPreview::paint_picture() {
    const ParameterRecord& record = editor_.record();
    auto cr = Cairo::Context::create(picture_);
    use_colour(cr, PreviewColour::kBlack);
    cr->paint();
    outline_circle(cr, PreviewColour::kWhite, kPreviewRadius);
    // The cone of wave normals inside the crystal that the objective's aperture admits,
    // projected like the figure.
    const double field = field_of_view_radius(record.numerical_aperture, mean_index(record),
                                              record.projection_kind, kPreviewRadius);
    outline_circle(cr, PreviewColour::kGreen, round_half_away(field));
    for (const PreviewSquare& mark : preview_axis_marks(record))
        fill_square(cr, mark);
    draw_legend(cr);
    picture_->flush();
}

bool ProjectionPreview::on_area_draw(const Cairo::RefPtr<Cairo::Context>& cr) {
    // The picture keeps the size the drawing asks for; the rest of a wider allocation is
    // background.
    use_colour(cr, PreviewColour::kBlack);
    cr->paint();
    cr->set_source(picture_, 0.0, 0.0);
    cr->paint();
    return false;
}
