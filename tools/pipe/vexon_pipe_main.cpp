// vexon-pipe: runs a scenario through the mouse filter driver's pipeline.
#include <string.h>

#include <fstream>
#include <iostream>

#include "pipe_scenario.h"

int main(int argc, char** argv)
{
    if (argc > 1 && (strcmp(argv[1], "--help") == 0 || strcmp(argv[1], "-h") == 0)) {
        std::cout << SCENARIO_HELP;
        return 0;
    }
    if (argc > 2) {
        std::cerr << SCENARIO_HELP;
        return SCENARIO_BAD_INPUT;
    }
    if (argc == 1)
        return RunScenario(std::cin, std::cout, std::cerr);
    std::ifstream file(argv[1]);
    if (!file) {
        std::cerr << "vexon-pipe: cannot read " << argv[1] << "\n";
        return SCENARIO_BAD_INPUT;
    }
    return RunScenario(file, std::cout, std::cerr);
}
