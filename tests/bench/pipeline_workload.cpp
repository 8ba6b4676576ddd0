// Runs one workload a fixed number of times, for instruction counts under
// valgrind's callgrind: pipeline_workload movement|acceleration|buttons BATCHES
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "pipeline_workloads.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: pipeline_workload movement|acceleration|buttons BATCHES\n");
        return 2;
    }
    workload::Kind kind = workload::MOVEMENT;
    if (strcmp(argv[1], "acceleration") == 0)
        kind = workload::ACCELERATION;
    else if (strcmp(argv[1], "buttons") == 0)
        kind = workload::BUTTONS;
    else if (strcmp(argv[1], "movement") != 0)
        return 2;
    workload::Workload w(kind);
    const long batches = atol(argv[2]);
    for (long i = 0; i < batches; ++i)
        w.Run();
    printf("%ld packets\n", batches * workload::BATCH);
    return 0;
}
