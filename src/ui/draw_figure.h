// The Draw button: the figure of the record as it stands, computed under the progress
// dialog and shown in the interference figure window.
#pragma once

// Computes the figure of the current parameters and opens its window. A cancel in the
// progress dialog leaves everything as it was and opens nothing.
void draw_figure();
