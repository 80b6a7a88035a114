#include "app/program.h"

int main(int argc, char** argv) {
    return run_lumitra(argc, argv);
}
