#pragma once
// An installation of both programs in a folder of their own, with its own
// settings file and sprite cache, for the end-to-end tests of the run.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace tamaruka::test {

class SaverInstall {
public:
    SaverInstall();  // copies the front-end and Tamaruka.data into a new folder

    const std::string& folder() const { return folder_; }
    std::string spriteFile() const { return cacheFolder_ + "/tamaruka/Fireworks.bmp"; }

    // Writes the three music settings into the folder's Tamaruka.ini, the
    // system-wide default that is read while the user has no file of their own.
    void writeSettings(int kind, int repeat, const std::string& file);

    // Starts the installed front-end with these arguments.
    std::unique_ptr<ChildProcess> start(const std::vector<std::string>& args,
                                        std::map<std::string, std::string> extraEnv = {}) const;

    // Live (not zombie) processes running this installation's renderer.
    std::vector<int> rendererProcesses() const;
    bool rendererRunning() const { return !rendererProcesses().empty(); }
    // Kills whatever renderer of this installation is still running.
    void killRenderers() const;

    // Puts a stand-in in place of the renderer: a file with this content, made
    // executable or not.
    void replaceRenderer(const std::string& content, bool executable) const;
    const std::string& cacheFolder() const { return cacheFolder_; }

private:
    std::string folder_;
    std::string cacheFolder_;
};

// Children of the process that have ended but were never reaped.
std::vector<int> zombieChildren(int parent);

// Enough separate pointer moves for the renderer to end on its own.
void wiggleUntilRendererEnds(XClient& x, const SaverInstall& install);

}  // namespace tamaruka::test
