// Started as "record FILE ARG" in place of the shell's handler of a link or a page: writes
// ARG to FILE, so a test sees what the program handed to the shell.
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    if (argc < 4 || std::string(argv[1]) != "record")
        return 2;
    std::ofstream(argv[2], std::ios::binary | std::ios::trunc) << argv[3];
    return 0;
}
