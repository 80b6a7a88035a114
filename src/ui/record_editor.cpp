#include "ui/record_editor.h"

#include "model/derived_values.h"

void RecordEditor::changed() {
    update_derived_fields(record_);
    if (telling_) {
        again_ = true;
        return;
    }
    telling_ = true;
    do {
        again_ = false;
        changed_.emit();
    } while (again_);
    telling_ = false;
}
