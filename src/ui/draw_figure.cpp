#include "ui/draw_figure.h"

#include <optional>
#include <utility>

#include "model/parameter_record.h"
#include "optics/figure_computation.h"
#include "ui/figure_window.h"
#include "ui/progress_dialog.h"

void draw_figure() {
    // The figure window holds the grab, so Draw cannot be pressed while one is open; a
    // programmatic press must not stack a second figure over it either.
    if (FigureWindow::current() != nullptr)
        return;
    const DrawSetup setup = prepare_draw(parameters);
    GtkProgressSink progress;
    std::optional<Figure> figure = compute_figure(setup, progress);
    if (!figure)
        return;
    FigureWindow::open(std::move(*figure));
}
