// tavrin_rc: compiles resource scripts into one module table (a C++ source).
//   tavrin_rc [-I dir]... [--function name] -o out.cpp script.rc...
#include "tools/rc/ResourceCompiler.h"

#include <fstream>
#include <iostream>
#include <sstream>

int main(int argc, char** argv)
{
    std::vector<std::filesystem::path> includes, scripts;
    std::string output, function;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "-I" || arg == "-o" || arg == "--function") && i + 1 < argc) {
            const std::string value = argv[++i];
            if (arg == "-I")
                includes.emplace_back(value);
            else if (arg == "-o")
                output = value;
            else
                function = value;
        } else if (arg.rfind("-I", 0) == 0 && arg.size() > 2) {
            includes.emplace_back(arg.substr(2));
        } else if (!arg.empty() && arg[0] == '-') {
            std::cerr << "tavrin_rc: unknown option " << arg << "\n";
            return 2;
        } else {
            scripts.emplace_back(arg);
        }
    }
    if (output.empty() || scripts.empty()) {
        std::cerr << "usage: tavrin_rc [-I dir]... [--function name] -o out.cpp script.rc...\n";
        return 2;
    }
    std::string source;
    try {
        tavrin::rc::ResourceCompiler compiler(includes);
        for (const auto& script : scripts)
            compiler.Compile(script);
        source = tavrin::rc::WriteTableSource(compiler.Finish(), function);
    } catch (const tavrin::rc::CompileError& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
    // Unchanged output keeps its time stamp, so nothing rebuilds needlessly.
    {
        std::ifstream old(output, std::ios::binary);
        std::stringstream ss;
        ss << old.rdbuf();
        if (old && ss.str() == source)
            return 0;
    }
    const std::string temp = output + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << source;
        if (!out.flush()) {
            std::cerr << "tavrin_rc: cannot write " << temp << "\n";
            return 1;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, output, ec);
    if (ec) {
        std::cerr << "tavrin_rc: cannot write " << output << ": " << ec.message() << "\n";
        return 1;
    }
    return 0;
}
