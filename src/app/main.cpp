// kora: the desktop program. It takes no arguments.

int main()
{
    return 0;
}
