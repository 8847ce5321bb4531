// The studio's process: hand-over to a running studio, or start the application.
#pragma once

int runStudio(int argc, char** argv);
