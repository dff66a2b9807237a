#include "gui/app/Application.h"

int main(int argc, char** argv)
{
    return tess::gui::runApplication(argc, argv);
}
