// Entry point: the application object on the desktop's display.
#include "app/TavrinApp.h"
#include "platform/display/GtkPresenter.h"

#include <cstdio>

namespace {
CTavrinApp theApp;
}

int main(int argc, char** argv)
{
    if (!tavrin::display::StartGtkPresenter()) {
        std::fprintf(stderr, "tavrin: cannot open the display (is DISPLAY set?)\n");
        return 1;
    }
    return AfxWinMain(argc, argv);
}
