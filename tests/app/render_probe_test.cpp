// lumitra-render --probe and --vibration-directions as a script uses them: the probe's line
// against the bytes of the picture the same options write, decoded here from the PPM.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/files.h"
#include "support/temp_directory.h"

namespace {

using Names = std::vector<std::string>;

// The standard output of lumitra-render with the arguments, and its exit status.
std::string run(const Names& arguments, int& status) {
    std::string command = LUMITRA_RENDER_PATH;
    for (const std::string& a : arguments)
        command += " '" + a + "'";
    command += " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    std::string out;
    char buffer[512];
    while (pipe != nullptr && std::fgets(buffer, sizeof buffer, pipe) != nullptr)
        out += buffer;
    const int code = pipe != nullptr ? pclose(pipe) : -1;
    status = WIFEXITED(code) ? WEXITSTATUS(code) : -1;
    return out;
}

// A binary PPM: width, height and the RGB bytes after the header.
struct Ppm {
    int side = 0;
    std::string rgb;
};
Ppm read_ppm(const std::string& path) {
    std::istringstream in(read_text(path));
    std::string magic;
    int width = 0, height = 0, maximum = 0;
    in >> magic >> width >> height >> maximum;
    in.get();
    Ppm ppm;
    ppm.side = width;
    ppm.rgb.assign(std::istreambuf_iterator<char>(in), {});
    return ppm;
}

class RenderProbe : public TempDirectoryTest {};

TEST_F(RenderProbe, LinePrintsTheKeysAndTheLevelsOfTheWrittenPicture) {
    struct Case {
        Names figure;
        int x, y;
        bool inside;
    };
    const Case cases[] = {
        {{}, 100, 100, true},
        {{}, 150, 60, true},
        {{}, 0, 0, false},
        {{"--axis-type", "1", "--draw-range", "1", "--plate", "530"}, 40, 170, true},
        {{"--draw-mode", "2", "--image-size-animation", "60", "--frame", "9", "--c-axis-theta",
          "30", "--vibration-directions"},
         31,
         20,
         true},
        {{"--draw-mode", "1", "--image-size-rotation", "40", "--light", "0.5"}, 20, 97, true},
    };
    const std::string keys[] = {"inside",
                                "theta_deg",
                                "phi_deg",
                                "incidence_deg",
                                "n_slow",
                                "n_fast",
                                "retardation_nm",
                                "order",
                                "slow_azimuth_deg",
                                "a",
                                "r",
                                "g",
                                "b"};
    for (const Case& c : cases) {
        Names probe = c.figure;
        probe.insert(probe.end(), {"--probe", std::to_string(c.x) + "," + std::to_string(c.y)});
        int status = 0;
        const std::string line = run(probe, status);
        ASSERT_EQ(status, 0) << line;
        ASSERT_EQ(line.back(), '\n');
        EXPECT_EQ(line.find('\n'), line.size() - 1) << "one line";
        std::istringstream words(line);
        std::map<std::string, std::string> values;
        for (const std::string& key : keys) {
            std::string word;
            words >> word;
            ASSERT_EQ(word.substr(0, key.size() + 1), key + "=") << line;
            values[key] = word.substr(key.size() + 1);
        }
        EXPECT_EQ(values["inside"], c.inside ? "1" : "0");
        EXPECT_EQ(std::isnan(std::stod(values["theta_deg"])), !c.inside);

        Names still = c.figure;
        still.insert(still.end(), {"--out", "still.ppm"});
        ASSERT_EQ((run(still, status), status), 0);
        const Ppm ppm = read_ppm("still.ppm");
        const std::size_t at = 3 * (std::size_t(c.y) * std::size_t(ppm.side) + std::size_t(c.x));
        for (int q = 0; q < 3; ++q)
            EXPECT_EQ(std::stoi(values[keys[10 + q]]),
                      static_cast<unsigned char>(ppm.rgb.at(at + std::size_t(q))))
                << line;
    }
    int status = 0;
    run({"--probe", "200,5"}, status);
    EXPECT_EQ(status, 2) << "outside the 200-pixel picture";
    run({"--probe", "5"}, status);
    EXPECT_EQ(status, 2);
    run({"--probe", "5,5", "--out", "x.ppm"}, status);
    EXPECT_EQ(status, 2);
}

// The default uniaxial crystal is positive, its optic axis vertical: the slow direction is
// radial. On the east-west line through the centre its segment is horizontal (white along
// the row, not along the column); on the north-south line it is vertical.
TEST_F(RenderProbe, VibrationDirectionsRunRadiallyInAUniaxialPositiveFigure) {
    int status = 0;
    run({"--image-size", "300", "--vibration-directions", "--out", "marked.ppm"}, status);
    ASSERT_EQ(status, 0);
    run({"--image-size", "300", "--out", "plain.ppm"}, status);
    ASSERT_EQ(status, 0);
    const Ppm marked = read_ppm("marked.ppm"), plain = read_ppm("plain.ppm");
    ASSERT_EQ(marked.rgb.size(), plain.rgb.size());
    EXPECT_NE(marked.rgb, plain.rgb);
    const auto white = [&](int x, int y) {
        const std::size_t at = 3 * (std::size_t(y) * 300 + std::size_t(x));
        return marked.rgb.substr(at, 3) == "\xff\xff\xff";
    };
    // Grid cells of 20 pixels: the cell three east of the centre one is centred at 210,150.
    for (const int d : {-6, -3, 3, 6}) {
        EXPECT_TRUE(white(210 + d, 150)) << d;
        EXPECT_FALSE(white(210, 150 + d)) << d;
        EXPECT_TRUE(white(150, 90 + d)) << d;
        EXPECT_FALSE(white(150 + d, 90)) << d;
    }
}

}  // namespace
