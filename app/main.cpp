// Entry point. The main window is not built yet: the program says so and exits.
#include <cstdio>

int main()
{
    std::puts("Tavrin: the main window is not built yet; the data side and its tests are.");
    return 0;
}
