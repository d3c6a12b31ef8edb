// A program that does nothing until it is killed; tests start copies of it under chosen names.
#include <unistd.h>

int main() {
    for (;;)
        pause();
}
