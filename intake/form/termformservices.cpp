#include "termformservices.h"

TermFormServices& termFormServices() {
    static TermFormServices services;
    return services;
}
