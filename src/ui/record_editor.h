// The record as the main window's controls edit it. A control stores its edit into record()
// and calls changed(): the derived fields follow (model/derived_values.h), then every
// listener hears of it, once per edit. The panels that show what an edit moves, the preview
// and anything else that follows the record connect to signal_changed() and read the record
// afresh; none of them depends on the order in which the others were connected.
#pragma once

#include <sigc++/sigc++.h>

#include "model/orientation_edit.h"
#include "model/parameter_record.h"

class RecordEditor {
  public:
    explicit RecordEditor(ParameterRecord& record) : record_(record) {}
    RecordEditor(const RecordEditor&) = delete;
    RecordEditor& operator=(const RecordEditor&) = delete;

    ParameterRecord& record() { return record_; }
    const ParameterRecord& record() const { return record_; }

    // The rotation axis, the sense of Y and the edit in progress of the biaxial axis set:
    // edit state that outlives the orientation panel's rows.
    OrientationState& orientation() { return orientation_; }

    // Brings the derived fields up to date and tells every listener. A change made while the
    // listeners are being told (a listener should make none) is told once more afterwards,
    // so that every listener ends with the record as it stands.
    void changed();

    sigc::signal<void()>& signal_changed() { return changed_; }

  private:
    ParameterRecord& record_;
    OrientationState orientation_;
    sigc::signal<void()> changed_;
    bool telling_ = false;
    bool again_ = false;
};
