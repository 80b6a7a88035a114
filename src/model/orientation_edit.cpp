#include "model/orientation_edit.h"

#include <array>
#include <cmath>
#include <numbers>

#include "model/crystal_rotation.h"

namespace {

// Every edit of one kind is computed from the snapshot taken when that kind began, so that
// many small steps of a spin button do not accumulate rounding.
void begin_edit(ParameterRecord& record, OrientationState& state, int kind) {
    if (state.edit_kind != kind) {
        take_snapshot(state, record);
        state.edit_kind = kind;
    }
}

// A tilt or turn ends a rotation about the axis: the R control goes back to 0, and what
// that reset runs (a rotation by 0 from a fresh snapshot) leaves every direction in place.
void close_rotation_edit(ParameterRecord& record, OrientationState& state) {
    if (state.edit_kind == kRotateEdit) {
        state.edit_kind = kNoEdit;
        rotate_about_rotation_axis(record, state, 0.0f);
    }
}

// Carries every axis but the rotation axis from its snapshot through m. Y changes its sense
// when it is flipped back to the upper hemisphere; the other axes have no sense to keep.
// The sense is taken relative to the snapshot, like the direction itself: toggling the
// current sense instead would flip it again on every click of a spin button while Y stays
// below the stage plane, and A and B would later be rebuilt on the wrong side of Z.
void rotate_other_axes(ParameterRecord& record, OrientationState& state, const RotationMatrix& m) {
    for (int i = 0; i < kAxisCount; ++i) {
        if (i == state.rotation_axis)
            continue;
        AxisRecord& q = state.axes[i];
        const RotatedDirection d = rotate_direction(q.theta_start, q.phi_start, m);
        record.*q.theta = d.theta;
        record.*q.phi = d.phi;
        if (i == kAxisY) {
            const int flipped_start = state.y_parity_start == 1 ? 0 : 1;
            state.y_parity = d.kept ? state.y_parity_start : flipped_start;
        }
    }
}

void set_direction(ParameterRecord& record, const AxisRecord& axis, RotatedDirection d) {
    record.*axis.theta = d.theta;
    record.*axis.phi = d.phi;
}

}  // namespace

void take_snapshot(OrientationState& state, const ParameterRecord& record) {
    for (AxisRecord& axis : state.axes) {
        axis.theta_start = record.*axis.theta;
        axis.phi_start = record.*axis.phi;
    }
    state.y_parity_start = state.y_parity;
}

void tilt_rotation_axis(ParameterRecord& record, OrientationState& state, float theta) {
    close_rotation_edit(record, state);
    begin_edit(record, state, kTiltEdit);
    AxisRecord& r = state.axes[state.rotation_axis];
    record.*r.theta = theta;
    // About the horizontal line perpendicular to the axis's azimuth: the axis moves within
    // its own vertical plane from its start tilt to the new one.
    const RotationMatrix m = rotation_matrix(90.0f, r.phi_start + 90.0f, theta - r.theta_start);
    rotate_other_axes(record, state, m);
}

void turn_rotation_axis(ParameterRecord& record, OrientationState& state, float phi) {
    close_rotation_edit(record, state);
    begin_edit(record, state, kTurnEdit);
    AxisRecord& r = state.axes[state.rotation_axis];
    record.*r.phi = phi;
    const float delta = phi - r.phi_start;
    for (int i = 0; i < kAxisCount; ++i) {
        if (i == state.rotation_axis)
            continue;
        AxisRecord& q = state.axes[i];
        float turned = q.phi_start + delta;
        // Exactly 360 is left as it is: it names the same azimuth as 0.
        if (turned > 360.0f)
            turned -= 360.0f;
        if (turned < 0.0f)
            turned += 360.0f;
        record.*q.phi = turned;
        record.*q.theta = q.theta_start;
    }
}

void rotate_about_rotation_axis(ParameterRecord& record, OrientationState& state, float angle) {
    begin_edit(record, state, kRotateEdit);
    const AxisRecord& r = state.axes[state.rotation_axis];
    rotate_other_axes(record, state, rotation_matrix(r.theta_start, r.phi_start, angle));
}

void select_rotation_axis(OrientationState& state, int axis) {
    if (axis < 0 || axis >= kAxisCount)
        return;
    state.rotation_axis = axis;
    state.edit_kind = kNoEdit;
}

void recompute_axes_for_two_v(ParameterRecord& record, OrientationState& state) {
    const float half = record.two_vz * 0.5f;
    const int p_index = state.rotation_axis;
    if (p_index == kAxisX || p_index == kAxisY || p_index == kAxisZ) {
        // In the frame where Y is vertical, A and B lie in the stage plane at ±V of Z.
        const float y_theta = record.y_axis_theta;
        const float y_phi = record.y_axis_phi;
        const RotationMatrix to_y_up = rotation_matrix(90.0f, y_phi - 90.0f, y_theta);
        const float phi_z = rotate_direction(record.z_axis_theta, record.z_axis_phi, to_y_up).phi;
        const float phi_a = state.y_parity == 1 ? phi_z + half : phi_z - half;
        const float phi_b = state.y_parity == 1 ? phi_z - half : phi_z + half;
        const RotationMatrix back = rotation_matrix(90.0f, y_phi - 90.0f, -y_theta);
        set_direction(record, state.axes[kAxisA], rotate_direction(90.0f, phi_a, back));
        set_direction(record, state.axes[kAxisB], rotate_direction(90.0f, phi_b, back));
    } else {
        // In the frame where the fixed optic axis P is vertical, the true Y lies in the stage
        // plane, Z and X are a quarter turn from it, and the other optic axis is 2V from P.
        const AxisRecord& p = state.axes[p_index];
        const AxisRecord& q = state.axes[p_index == kAxisA ? kAxisB : kAxisA];
        const float p_theta = record.*p.theta;
        const float p_phi = record.*p.phi;
        const RotationMatrix to_p_up = rotation_matrix(90.0f, p_phi - 90.0f, p_theta);
        const RotatedDirection y =
            rotate_direction(record.y_axis_theta, record.y_axis_phi, to_p_up);
        float phi_y = y.phi;
        if ((y.kept && state.y_parity == 0) || (!y.kept && state.y_parity == 1))
            phi_y += 180.0f;
        const float phi_z = p_index == kAxisA ? phi_y + 90.0f : phi_y - 90.0f;
        const float phi_x = p_index == kAxisA ? phi_y - 90.0f : phi_y + 90.0f;
        const RotationMatrix back = rotation_matrix(90.0f, p_phi - 90.0f, -p_theta);
        set_direction(record, state.axes[kAxisX], rotate_direction(90.0f - half, phi_x, back));
        set_direction(record, state.axes[kAxisZ], rotate_direction(half, phi_z, back));
        set_direction(record, q, rotate_direction(record.two_vz, phi_z, back));
    }
    state.edit_kind = kNoEdit;
}

int y_parity_of(const ParameterRecord& record) {
    auto unit = [](float theta, float phi) {
        const double t = theta * std::numbers::pi / 180.0;
        const double p = phi * std::numbers::pi / 180.0;
        return std::array<double, 3>{std::sin(t) * std::cos(p), std::sin(t) * std::sin(p),
                                     std::cos(t)};
    };
    const std::array<double, 3> a = unit(record.a_axis_theta, record.a_axis_phi);
    // How nearly Z turned by the given half angle about the stored Y lies along A; axes are
    // lines, so either end counts.
    auto closeness = [&](float half) {
        const RotatedDirection z =
            rotate_direction(record.z_axis_theta, record.z_axis_phi,
                             rotation_matrix(record.y_axis_theta, record.y_axis_phi, half));
        const std::array<double, 3> turned = unit(z.theta, z.phi);
        return std::abs(turned[0] * a[0] + turned[1] * a[1] + turned[2] * a[2]);
    };
    const float half = record.two_vz * 0.5f;
    return closeness(half) >= closeness(-half) ? 1 : 0;
}
