// Writes alloy reports one after another in any output format: text reports separated by a
// blank line, CSV under one header, a JSON array or JSON lines. Output is buffered and
// written in pieces, so memory stays bounded however many alloys there are.
#pragma once

#include <optional>
#include <string>

#include "io/streams.hpp"
#include "model/alloys.hpp"
#include "report/formats.hpp"
#include "report/json_report.hpp"

namespace glassform {

class AlloyWriter {
 public:
  // With `grams`, every composition also gets the masses to weigh for an ingot of that mass.
  AlloyWriter(OutputSink& sink, Format format, std::optional<double> grams = std::nullopt);
  AlloyWriter(const AlloyWriter&) = delete;
  AlloyWriter& operator=(const AlloyWriter&) = delete;

  void add(const AlloyResult& alloy);
  // Writes what is still buffered and closes a JSON array; the CSV header is written even
  // when no alloy came.
  void finish();

 private:
  void flush_if_full();

  OutputSink& sink_;
  Format format_;
  std::optional<double> grams_;
  JsonStream json_;
  std::string buffer_;
  bool first_ = true;
};

}  // namespace glassform
