// Starts a program with a command line given byte for byte, which no shell
// or Wine's own argument quoting would keep (tabs, blanks after the name,
// blanks at the end), waits for it and ends with its exit code.
//   TAVREL_SPAWN_PROGRAM  the program file
//   TAVREL_SPAWN_COMMAND  the whole command line, program name included
#include <windows.h>

#include <cstdlib>
#include <string>

int main() {
    const char* program = std::getenv("TAVREL_SPAWN_PROGRAM");
    const char* command = std::getenv("TAVREL_SPAWN_COMMAND");
    if (program == nullptr || command == nullptr) return 120;
    std::string line(command);
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessA(program, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process)) {
        return 121;
    }
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 122;
    ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return static_cast<int>(code);
}
