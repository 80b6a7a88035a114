#!/usr/bin/env bash
# Remakes the pictures at the top of the README (docs/images/): the main window as it opens,
# photographed on a virtual display, and the figures drawn by lumitra-render. Builds
# build/ first (BUILD_DIR selects another build). Commit the pictures it writes.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$top/${BUILD_DIR:-build}
images=$top/docs/images

"$top/scripts/setup.sh" "${build#"$top"/}"
"$top/scripts/install-packages.sh" imagemagick xvfb xauth x11-utils
render=$build/src/app/lumitra-render
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

figure() {
    local name=$1
    shift
    "$render" "$@" --out "$work/$name.bmp"
    convert "$work/$name.bmp" -strip "$images/$name.png"
}
# The 530 nm plate over a thick section: the quadrants it adds to and subtracts from.
figure uniaxial-test-plate --no-test-plate 0 --thickness 500
# Both melatopes and the isochromes around them, over the whole hemisphere.
figure biaxial-full-range --axis-type 1 --draw-range 1 --thickness 150
# The stage turned in steps of 30 degrees under an inclined optic axis.
figure rotation-ring --draw-mode 1 --c-axis-theta 25 --thickness 300 --image-size-rotation 80

# The three accessories over a positive uniaxial crystal whose rings pass 147 nm well inside
# the field.
positive=(--omega 1.544 --epsilon 1.594 --thickness 60)
figure sign-first-order-plate "${positive[@]}" --plate 530
figure sign-quarter-wave-plate "${positive[@]}" --plate 147
figure sign-quartz-wedge "${positive[@]}" --plate wedge --wedge-retardation 300

# A 3000 µm section over the full range, point-sampled and antialiased: the outer rings are
# finer than the pixels.
figure thick-full-range --thickness 3000 --draw-range 1
figure thick-full-range-antialias --thickness 3000 --draw-range 1 --antialias

# Muscovite cut across its acute bisectrix, the stage turned 45 degrees (frame 9 of 72).
figure muscovite-bxa --mineral muscovite --section bxa --thickness 150 --draw-mode 2 \
    --image-size-animation 188 --frame 9

# The interference-colour charts, quartz at 30 µm on them.
"$render" --mineral quartz --thickness 30 --chart "$images/colour-chart.png"
"$render" --mineral quartz --thickness 30 --chart "$images/colour-chart-birefringence.png" \
    --chart-kind birefringence
rm -f "$images"/colour-chart*.png.json
# Marks and caption for a slide: an inclined axis with the 530 nm plate at the 45 degree
# position, and the rotation image with each sub-image's azimuth.
figure marks-uniaxial-530 --c-axis-theta 15 --thickness 200 --plate 530 --stage-azimuth 45 \
    --image-size-single 300 --marks --caption
figure marks-rotation --draw-mode 1 --c-axis-theta 25 --thickness 300 --plate 530 \
    --rotation-step 45 --image-size-rotation 100 --marks --caption

# The main window, photographed by its title once it is on the screen, in English and in
# Japanese.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
export LUMITRA=$build/src/app/lumitra TITLE="Lumitra (Version $version)"
export GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1
for shot in main-window:en_US.UTF-8 main-window-ja:ja_JP.UTF-8; do
SHOT=$images/${shot%%:*}.png LANG=${shot#*:} LANGUAGE= LC_ALL= xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    "$LUMITRA" & program=$!
    for _ in $(seq 100); do
        sleep 0.2
        xwininfo -name "$TITLE" >/dev/null 2>&1 && break
    done
    sleep 1  # let it draw
    import -window "$TITLE" -strip "$SHOT"
    kill "$program"
    test -s "$SHOT"'
done
ls -l "$images"
