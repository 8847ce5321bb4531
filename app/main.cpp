// veldrin-studio: plays dashcam clips with their telemetry.
#include "StudioMain.h"

int main(int argc, char** argv) {
    return runStudio(argc, argv);
}
