#include "TestAppBundle.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace plinka::testing {

namespace fs = std::filesystem;

TestAppBundle::TestAppBundle(const std::string& directory, const std::string& name,
                             const std::string& identifier)
    : path_(directory + "/" + name + ".app"), executable_(path_ + "/Contents/MacOS/" + name) {
    fs::create_directories(path_ + "/Contents/MacOS");
    fs::copy_file("/bin/sleep", executable_);
    std::ofstream(path_ + "/Contents/Info.plist")
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
           "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
           "<plist version=\"1.0\">\n<dict>\n"
           "\t<key>CFBundleIdentifier</key>\n\t<string>"
        << identifier << "</string>\n\t<key>CFBundleExecutable</key>\n\t<string>" << name
        << "</string>\n</dict>\n</plist>\n";
}

}  // namespace plinka::testing
