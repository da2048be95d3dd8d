#include "app/startup.h"

int main(int argc, char** argv) {
    return arrowsel::app::runProgram(argc, argv);
}
