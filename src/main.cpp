#include "app/Application.h"

int main(int, char**)
{
    return runGame();
}
