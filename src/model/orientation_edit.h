// The biaxial axis set A, B, X, Y, Z moved as one rigid body. The orientation panel's
// handlers only read their spin button and call these; the rows are then refreshed from the
// record.
#pragma once

#include <array>

#include "model/parameter_record.h"

// One biaxial axis: its letter and where the record keeps its direction.
struct AxisRecord {
    char name;                      // 'A', 'B', 'X', 'Y' or 'Z'; also its radio button caption
    float ParameterRecord::*theta;  // degrees from the microscope axis
    float ParameterRecord::*phi;    // azimuth, degrees
    float theta_start = 0.0f;       // snapshot taken when an edit begins
    float phi_start = 0.0f;
};

// Positions in OrientationState::axes.
enum AxisIndex : int { kAxisA = 0, kAxisB = 1, kAxisX = 2, kAxisY = 3, kAxisZ = 4, kAxisCount = 5 };

// Which edit the current snapshot belongs to.
enum EditKind : int { kNoEdit = 0, kTiltEdit = 1, kTurnEdit = 2, kRotateEdit = 3 };

struct OrientationState {
    std::array<AxisRecord, kAxisCount> axes{{
        {'A', &ParameterRecord::a_axis_theta, &ParameterRecord::a_axis_phi},
        {'B', &ParameterRecord::b_axis_theta, &ParameterRecord::b_axis_phi},
        {'X', &ParameterRecord::x_axis_theta, &ParameterRecord::x_axis_phi},
        {'Y', &ParameterRecord::y_axis_theta, &ParameterRecord::y_axis_phi},
        {'Z', &ParameterRecord::z_axis_theta, &ParameterRecord::z_axis_phi},
    }};
    int rotation_axis = kAxisA;  // the axis whose row is editable
    // Sense of Y: 1 when the true Y is the stored direction, 0 when it is its opposite. A is
    // Z turned by +two_vz/2 about the true Y (right-handed), B by -two_vz/2.
    int y_parity = 1;
    int y_parity_start = 1;  // y_parity when the snapshot was taken
    int edit_kind = kNoEdit;
};

// Copies every axis's current direction into its snapshot.
void take_snapshot(OrientationState& state, const ParameterRecord& record);

// A new θ for the rotation axis: tilts the whole set within the rotation axis's vertical
// plane, from the snapshot. An unfinished rotation about the axis is closed first (its R
// control must then show 0 again).
void tilt_rotation_axis(ParameterRecord& record, OrientationState& state, float theta);

// A new φ for the rotation axis: turns every azimuth by the same amount, from the snapshot.
void turn_rotation_axis(ParameterRecord& record, OrientationState& state, float phi);

// The total angle R (degrees) since the snapshot, about the rotation axis.
void rotate_about_rotation_axis(ParameterRecord& record, OrientationState& state, float angle);

// Makes another axis the rotation axis; nothing moves.
void select_rotation_axis(OrientationState& state, int axis);

// After a new two_vz: with X, Y or Z as rotation axis the principal axes stay and A, B follow;
// with A or B as rotation axis that axis and Y stay, and X, Z and the other optic axis follow.
void recompute_axes_for_two_v(ParameterRecord& record, OrientationState& state);

// The sense of Y in which A is Z turned by +two_vz/2 about Y (1: the stored Y, 0: its
// opposite): the edit state that axes read back from a settings file do not carry.
int y_parity_of(const ParameterRecord& record);
