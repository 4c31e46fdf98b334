#pragma once
// vorlix-sim check --format json: what the text output says, file by file, as one JSON document
// for programs (editors, CI, add-ons). scenes/README.md describes its members.

#include <string>
#include <vector>

#include "sim/check/check_model_file.h"
#include "sim/check/check_scene.h"
#include "sim/formats/json_writing.h"

namespace sim::check {

// "format", "tool" and "version": the head of every document vorlix-sim writes for programs.
JsonObject documentHead();

class CheckDocument {
  public:
    void addScene(const std::string& path, const Scene& scene,
                  const std::vector<ModelReport>& models);
    void addModelFile(const std::string& path, const ModelFileCheck& model);
    // A file that could not be read; message as on standard error.
    void addError(const std::string& path, bool scene, const std::string& message);
    // The whole document with the run's exit status, ending in a newline.
    std::string text(int exitStatus) const;

  private:
    void addFile(const std::string& path, bool scene, const std::vector<std::string>& models,
                 std::size_t warnings);

    std::vector<std::string> files_;
    std::size_t models_ = 0;
    std::size_t componentFrames_ = 0;
    std::size_t warnings_ = 0;
    std::size_t errors_ = 0;
};

}  // namespace sim::check
