// Does nothing but load the Qt core library: the least a Qt program costs to start.
#include <QtGlobal>

int main()
{
    // A call into the library keeps the linker from dropping it.
    return qVersion()[0] == '\0' ? 1 : 0;
}
