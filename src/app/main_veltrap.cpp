#include "app/ReportApp.h"

int main(int argc, char** argv) {
    return veltrap::ReportApp::Run(argc, argv);
}
