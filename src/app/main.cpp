// Program entry: see app/application_start.h.
#include "app/application_start.h"

int main(int argc, char** argv)
{
    return app::runStellaro(argc, argv);
}
