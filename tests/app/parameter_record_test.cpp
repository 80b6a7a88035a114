#include "app/parameter_record.h"

#include <gtest/gtest.h>

TEST(ParameterRecord, DefaultsPlaceholder) {
    ParameterRecord record{};
    set_default_parameters(record);
    EXPECT_EQ(record.image_size_single, 200.0f);
}
