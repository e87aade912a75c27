// The extension module `pavenda._pavenda`: the library's calls with Python values in and out. Every
// call into the library runs with the GIL released. Results come back as plain tuples and lists;
// the package (`pavenda/__init__.py`) turns them into its frozen value types and raises its
// exceptions.

#include <algorithm>
#include <array>
#include <atomic>
#include <barrier>
#include <chrono>
#include <cstddef>
#include <exception>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include <nanobind/nanobind.h>
#include <nanobind/stl/string.h>
#include <nanobind/stl/string_view.h>

#include <pavenda/DecodedFields.h>
#include <pavenda/ErrorConstants.h>
#include <pavenda/FieldDictionary.h>
#include <pavenda/Findings.h>
#include <pavenda/PayMerchantTLV.h>
#include <pavenda/QRCodeGenerator.h>
#include <pavenda/QRCodeTag.h>
#include <pavenda/TLVGenerator.h>
#include <pavenda/Version.h>

namespace nb = nanobind;

namespace pavenda::python {
namespace {

// A Python text of UTF-8 bytes; ill-formed bytes (never produced by the library for valid input,
// but echoed from a payload that is not UTF-8) become U+FFFD, as the tool's JSON writes them.
nb::object text(std::string_view bytes) {
  PyObject* object =
      PyUnicode_DecodeUTF8(bytes.data(), static_cast<Py_ssize_t>(bytes.size()), "replace");
  if (object == nullptr)
    throw nb::python_error();
  return nb::steal(object);
}

nb::object textOrNone(const std::optional<std::string>& value) {
  return value ? text(*value) : nb::none();
}

std::string typeName(nb::handle object) {
  return nb::cast<std::string>(nb::type_name(object.type()));
}

// The UTF-8 bytes of a str, or null with `error` set when it holds a lone surrogate. The bytes
// belong to the str (CPython caches them in it) and stay valid while it lives.
std::optional<std::string_view> utf8(nb::handle str) {
  Py_ssize_t size = 0;
  const char* data = PyUnicode_AsUTF8AndSize(str.ptr(), &size);
  if (data == nullptr) {
    PyErr_Clear();
    return std::nullopt;
  }
  return std::string_view(data, static_cast<std::size_t>(size));
}

// The bytes of a payload given as str (UTF-8) or bytes (as they are), or a Python error naming
// `what` (with `index`, "what[index]"). The view lives as long as the object.
std::string_view payloadBytes(nb::handle payload, const char* what,
                              std::optional<std::size_t> index = std::nullopt) {
  const auto name = [&] {
    return index ? std::string(what) + "[" + std::to_string(*index) + "]" : std::string(what);
  };
  if (PyUnicode_Check(payload.ptr())) {
    if (auto bytes = utf8(payload))
      return *bytes;
    PyErr_Format(PyExc_ValueError,
                 "%s: a str that cannot be written as UTF-8 (it holds a lone surrogate); pass the "
                 "payload's bytes instead",
                 name().c_str());
    throw nb::python_error();
  }
  if (PyBytes_Check(payload.ptr())) {
    char* data = nullptr;
    Py_ssize_t size = 0;
    if (PyBytes_AsStringAndSize(payload.ptr(), &data, &size) != 0)
      throw nb::python_error();
    return {data, static_cast<std::size_t>(size)};
  }
  PyErr_Format(PyExc_TypeError, "%s: expected str or bytes, got %s", name().c_str(),
               typeName(payload).c_str());
  throw nb::python_error();
}

// The error codes as Python texts, made once: validate_many hands out millions of them.
class CodeTexts {
public:
  CodeTexts() {
    for (std::size_t i = 0; i < texts_.size(); ++i)
      texts_[i] = nb::str(std::to_string(i).c_str()).release().ptr(); // immortal: kept for good
  }
  nb::object operator()(const std::string& code) const {
    std::size_t value = 0;
    const bool small =
        !code.empty() && code.size() <= 2 && (code.size() == 1 || code[0] != '0') &&
        std::all_of(code.begin(), code.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (small)
      for (char c : code)
        value = value * 10 + static_cast<std::size_t>(c - '0');
    if (small && value < texts_.size())
      return nb::borrow(texts_[value]);
    return text(code);
  }

private:
  std::array<PyObject*, 100> texts_{};
};

const CodeTexts& codeTexts() {
  static const CodeTexts texts;
  return texts;
}

nb::list codeList(const std::vector<std::string>& codes) {
  nb::list out;
  for (const std::string& code : codes)
    out.append(codeTexts()(code));
  return out;
}

// ---- Field dictionaries ------------------------------------------------------------------------

bool isMapping(nb::handle object) {
  if (PyDict_Check(object.ptr()))
    return true;
  static nb::handle mapping =
      nb::object(nb::module_::import_("collections.abc").attr("Mapping")).release();
  const int is = PyObject_IsInstance(object.ptr(), mapping.ptr());
  if (is < 0)
    throw nb::python_error();
  return is == 1;
}

std::string pathOf(const std::string& parent, std::string_view key) {
  return parent.empty() ? std::string(key) : parent + "." + std::string(key);
}

[[noreturn]] void raise(PyObject* type, const std::string& message) {
  PyErr_SetString(type, message.c_str());
  throw nb::python_error();
}

// What to write instead of a value that is not text: never converted, since 450.00 and 450.0
// differ.
[[noreturn]] void refuseValue(const std::string& path, nb::handle value) {
  std::string message = path + ": ";
  if (value.is_none()) {
    message += "None where text belongs; write the text, or leave the key out";
  } else if (PyFloat_Check(value.ptr())) {
    message += "a float where text belongs; write it as a str with the digits meant, such as "
               "\"450.00\" (the float is " +
               nb::cast<std::string>(nb::repr(value)) + ")";
  } else if (PyLong_Check(value.ptr()) && !PyBool_Check(value.ptr())) {
    message += "an int where text belongs; write it as a str: \"" +
               nb::cast<std::string>(nb::str(value)) + "\"";
  } else if (isMapping(value)) {
    message += "a mapping where text belongs; a template's sub-fields are texts";
  } else {
    message += "a " + typeName(value) + " where text belongs; write it as a str";
  }
  raise(PyExc_TypeError, message);
}

std::string keyText(const std::string& parent, nb::handle key) {
  if (!PyUnicode_Check(key.ptr()))
    raise(PyExc_TypeError, (parent.empty() ? std::string("fields") : parent) + ": a key of type " +
                               typeName(key) + " (" + nb::cast<std::string>(nb::repr(key)) +
                               "); keys are str");
  if (auto bytes = utf8(key))
    return std::string(*bytes);
  raise(PyExc_ValueError, pathOf(parent, nb::cast<std::string>(nb::repr(key))) +
                              ": a key that cannot be written as UTF-8 (a lone surrogate)");
}

std::string valueText(const std::string& path, nb::handle value) {
  if (!PyUnicode_Check(value.ptr()))
    refuseValue(path, value);
  if (auto bytes = utf8(value))
    return std::string(*bytes);
  raise(PyExc_ValueError, path + ": a str that cannot be written as UTF-8 (a lone surrogate)");
}

// The Python mapping as the library's dictionary, in the mapping's order. Only Python types are
// checked here (texts, and mappings at the top level); which key and which template is allowed
// is the library's judgement (FieldDictionary::firstUnwritableField).
FieldDictionary toDictionary(nb::handle fields, const std::string& parent) {
  FieldDictionary out;
  nb::object items = nb::borrow(fields).attr("items")();
  for (nb::handle item : items) {
    nb::object key = item[0], value = item[1];
    const std::string name = keyText(parent, key);
    const std::string path = pathOf(parent, name);
    if (parent.empty() && !PyUnicode_Check(value.ptr()) && isMapping(value))
      out.set(name, FieldValue(toDictionary(value, path)));
    else
      out.set(name, FieldValue(valueText(path, value)));
  }
  return out;
}

FieldDictionary checkedDictionary(nb::handle fields) {
  if (PyUnicode_Check(fields.ptr()) || !isMapping(fields))
    raise(PyExc_TypeError,
          "fields: expected a mapping of field keys to str or mappings, got " + typeName(fields));
  FieldDictionary dictionary = toDictionary(fields, "");
  std::optional<std::string> refusal;
  {
    nb::gil_scoped_release release;
    refusal = dictionary.firstUnwritableField();
  }
  if (refusal)
    raise(PyExc_ValueError, *refusal);
  return dictionary;
}

// ---- Explanations ------------------------------------------------------------------------------

// (tag, subtag, field, value)
nb::tuple findingField(const FindingField& field) {
  return nb::make_tuple(text(field.tag), textOrNone(field.subtag), text(field.field),
                        textOrNone(field.value));
}

// (code, message, tag, field, value, detail, fields): the first field stands for the finding.
nb::tuple finding(const Finding& finding) {
  nb::list fields;
  for (const FindingField& field : finding.fields)
    fields.append(findingField(field));
  const FindingField* first = finding.fields.empty() ? nullptr : &finding.fields.front();
  return nb::make_tuple(
      codeTexts()(finding.code), text(finding.message), first ? text(first->tag) : nb::none(),
      first ? text(first->field) : nb::none(), first ? textOrNone(first->value) : nb::none(),
      text(finding.detail), nb::tuple(fields));
}

nb::list findings(const std::vector<Finding>& all) {
  nb::list out;
  for (const Finding& one : all)
    out.append(finding(one));
  return out;
}

ErrorCorrection errorCorrection(std::string_view level) {
  if (level == "L")
    return ErrorCorrection::L;
  if (level == "M")
    return ErrorCorrection::M;
  if (level == "Q")
    return ErrorCorrection::Q;
  if (level == "H")
    return ErrorCorrection::H;
  raise(PyExc_ValueError, "error_correction: expected \"L\", \"M\", \"Q\" or \"H\", got \"" +
                              std::string(level) + "\"");
}

// ---- The calls ---------------------------------------------------------------------------------

// [] when valid; otherwise the findings, explained.
nb::list validate(nb::handle payload) {
  const std::string_view bytes = payloadBytes(payload, "payload");
  std::optional<Explanation> explanation;
  {
    nb::gil_scoped_release release;
    // Explaining costs more than validating; only a payload with findings needs it.
    if (!TLVGenerator::tlvValidation(bytes).empty())
      explanation = explainPayload(bytes);
  }
  return explanation ? findings(explanation->findings) : nb::list();
}

// (errorCodes, findings, decodeError (reason, offset) or None, (given, computed), advisories)
nb::tuple explain(nb::handle payload, std::string_view level) {
  const std::string_view bytes = payloadBytes(payload, "payload");
  const ErrorCorrection correction = errorCorrection(level);
  Explanation explanation;
  {
    nb::gil_scoped_release release;
    explanation = explainPayload(bytes, correction);
  }
  nb::object decodeError = nb::none();
  if (explanation.decodeError)
    decodeError =
        nb::make_tuple(text(explanation.decodeError->reason), explanation.decodeError->offset);
  nb::list advisories;
  for (const Advisory& advisory : explanation.advisories)
    advisories.append(nb::make_tuple(text(advisory.kind), text(advisory.tag), text(advisory.field),
                                     text(advisory.detail)));
  return nb::make_tuple(
      codeList(explanation.errorCodes), findings(explanation.findings), decodeError,
      nb::make_tuple(textOrNone(explanation.crc.given), textOrNone(explanation.crc.computed)),
      advisories);
}

// What `pavenda decode` prints, as a dict; or (reason, offset, kind) when the payload does not
// decode.
nb::object decode(nb::handle payload) {
  const std::string_view bytes = payloadBytes(payload, "payload");
  ZArodezPayMerchantTLV record;
  std::optional<TLVDecodingError> error;
  CrcCheck crc;
  std::optional<pavenda::DecodeError> stop;
  {
    nb::gil_scoped_release release;
    error = record.decodeTLV(bytes);
    Explanation explanation = explainPayload(bytes);
    crc = std::move(explanation.crc);
    stop = std::move(explanation.decodeError);
  }
  if (error) {
    const std::string kind(toString(*error));
    // The explanation decodes with the same decoder, so it has stopped too; its words say where.
    return stop ? nb::make_tuple(text(stop->reason), stop->offset, text(kind))
                : nb::make_tuple(text(kind), 0, text(kind));
  }
  nb::dict fields;
  fields["isTipAvailable"] = nb::bool_(record.isTipAvailable());
#define PAVENDA_TEXT_PROPERTY(name, Name)                                                          \
  if (const auto& value = record.name())                                                           \
    fields[#name] = text(*value);
#define PAVENDA_MAP_PROPERTY(name, Name)                                                           \
  if (const auto& value = record.name()) {                                                         \
    nb::dict entries;                                                                              \
    for (const auto& [key, entry] : *value)                                                        \
      entries[text(key)] = text(entry);                                                            \
    fields[#name] = entries;                                                                       \
  }
#include <pavenda/MerchantTLVProperties.def>
  nb::dict out;
  out["scheme"] = record.payloadFormatIndicator() ? "TLV01" : "TLV00";
  out["fields"] = fields;
  // As the tool does: a payload with tag 63 also says whether its CRC matches.
  if (crc.given) {
    nb::dict check;
    check["given"] = text(*crc.given);
    check["computed"] = textOrNone(crc.computed);
    check["matches"] = nb::bool_(crc.matches());
    out["crc"] = check;
  }
  return out;
}

nb::str encode(nb::handle fields) {
  const FieldDictionary dictionary = checkedDictionary(fields);
  std::string payload;
  {
    nb::gil_scoped_release release;
    payload = TLVGenerator::encodeDictToTLV(dictionary);
  }
  return nb::borrow<nb::str>(text(payload));
}

// The payload as str, or the findings (list of finding tuples) when validation refused it.
nb::object generate(nb::handle fields) {
  const FieldDictionary dictionary = checkedDictionary(fields);
  std::optional<std::string> payload;
  std::vector<QRError> errors;
  std::optional<Explanation> explanation;
  {
    nb::gil_scoped_release release;
    PavendaResponse response = QRCodeGenerator::generateQRCodeString(dictionary);
    if (response.tlvString()) {
      payload = *response.tlvString();
    } else {
      errors = response.qrErrors().value_or(std::vector<QRError>{});
      // What was written, explained; generation's own verdict differs only for a dictionary that
      // does not read back as written (code "0" alone), which keeps the codes' messages.
      explanation = explainPayload(TLVGenerator::encodeDictToTLV(dictionary));
    }
  }
  if (payload)
    return text(*payload);
  std::vector<std::string> codes;
  for (const QRError& error : errors)
    codes.push_back(error.errorCode());
  if (explanation->errorCodes == codes)
    return findings(explanation->findings);
  nb::list out;
  for (const QRError& error : errors)
    out.append(nb::make_tuple(codeTexts()(error.errorCode()), text(error.errorDescription()),
                              nb::none(), nb::none(), nb::none(), text(error.errorDescription()),
                              nb::tuple()));
  return out;
}

nb::list fieldKeys() {
  nb::list out;
#define PAVENDA_TAG(key, tag) out.append(nb::make_tuple(#key, tag));
#include <pavenda/QRCodeTags.def>
  return out;
}

nb::list errorMessages() {
  std::vector<std::pair<std::string, std::string>> entries(
      ZArodezErrorConstantsMap::errorDict().begin(), ZArodezErrorConstantsMap::errorDict().end());
  std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
    return std::pair(a.first.size(), a.first) < std::pair(b.first.size(), b.first);
  });
  nb::list out;
  for (const auto& [code, message] : entries)
    out.append(nb::make_tuple(text(code), text(message)));
  return out;
}

// ---- Many payloads -----------------------------------------------------------------------------

constexpr unsigned maxJobs = 256;

// The codes of every payload an iterator gives, batch by batch, in input order, on `jobs` threads
// (this one among them). While the other threads validate one batch, this thread takes the next
// from the iterator and hands out the codes of the one before, so that Python's share of the work
// overlaps the validation. At most two batches are held, each bounded in count and bytes.
class ManyValidation {
public:
  ManyValidation(nb::object iterator, unsigned jobs)
      : iterator_(std::move(iterator)), start_(jobs), done_(jobs) {
    try {
      for (unsigned k = 1; k < jobs; ++k)
        threads_.emplace_back([this] {
          while (true) {
            start_.arrive_and_wait();
            if (stopping_)
              return;
            work();
            done_.arrive_and_wait();
          }
        });
    } catch (...) {
      for (std::size_t missing = threads_.size() + 1; missing < jobs; ++missing)
        start_.arrive_and_drop();
      stop();
      throw;
    }
  }
  ManyValidation(const ManyValidation&) = delete;
  ManyValidation& operator=(const ManyValidation&) = delete;
  ~ManyValidation() {
    if (running_)
      finish();
    stop();
  }

  // The codes of the next batch, a list of lists; None when the iterator is done. An error of the
  // iterator, or an item that is not a payload, is raised after the codes of every item before it.
  nb::object next() {
    if (busy_)
      raise(PyExc_RuntimeError, "validate_many: the iterator is already running");
    busy_ = true;
    struct Idle {
      bool& busy;
      ~Idle() { busy = false; }
    } idle{busy_};
    if (!started_) {
      started_ = true;
      take(batches_[current_]);
      if (!batches_[current_].views.empty())
        begin(batches_[current_]);
    }
    Batch& batch = batches_[current_];
    if (batch.views.empty()) {
      if (pending_) {
        nb::python_error error = std::move(*pending_);
        pending_.reset();
        throw error;
      }
      return nb::none();
    }
    Batch& following = batches_[1 - current_];
    take(following);
    {
      nb::gil_scoped_release release;
      finish();
    }
    if (!following.views.empty())
      begin(following);
    for (std::exception_ptr failure : batch.failures)
      if (failure)
        std::rethrow_exception(failure);
    nb::list out;
    for (const std::vector<std::string>& codes : batch.codes)
      out.append(codeList(codes));
    batch.clear();
    current_ = 1 - current_;
    return out;
  }

private:
  static constexpr std::size_t batchItems = 8192;
  static constexpr std::size_t batchBytes = std::size_t{32} << 20;
  static constexpr std::size_t chunkItems = 32;

  struct Batch {
    std::vector<nb::object> owners; // keep the payloads' bytes alive
    std::vector<std::string_view> views;
    std::vector<std::vector<std::string>> codes;
    std::vector<std::exception_ptr> failures; // by chunk; rethrown on the calling thread
    void clear() {
      owners.clear();
      views.clear();
      codes.clear();
      failures.clear();
    }
  };

  // Fills `batch` from the iterator, stopping at the first error, which is kept for later.
  void take(Batch& batch) {
    batch.clear();
    if (pending_ || !iterator_.is_valid())
      return;
    std::size_t bytes = 0;
    while (batch.views.size() < batchItems && bytes < batchBytes) {
      PyObject* item = PyIter_Next(iterator_.ptr());
      if (item == nullptr) {
        if (PyErr_Occurred())
          pending_.emplace();
        iterator_.reset();
        return;
      }
      nb::object payload = nb::steal(item);
      try {
        batch.views.push_back(payloadBytes(payload, "payloads", taken_));
      } catch (nb::python_error& error) {
        pending_.emplace(std::move(error));
        iterator_.reset();
        return;
      }
      ++taken_;
      bytes += batch.views.back().size();
      batch.owners.push_back(std::move(payload));
    }
  }

  // Starts the other threads on `batch`, which stays untouched by this thread until `finish`.
  void begin(Batch& batch) {
    lines_ = batch.views;
    codes_ = &batch.codes;
    failures_ = &batch.failures;
    batch.codes.resize(batch.views.size());
    batch.failures.resize((batch.views.size() + chunkItems - 1) / chunkItems);
    next_.store(0, std::memory_order_relaxed);
    running_ = true;
    start_.arrive_and_wait();
  }

  // Takes chunks of the batch begun last until none is left, then waits for the other threads.
  void finish() noexcept {
    work();
    done_.arrive_and_wait();
    running_ = false;
  }

  void work() noexcept {
    const std::size_t chunks = failures_->size();
    for (std::size_t c = next_.fetch_add(1, std::memory_order_relaxed); c < chunks;
         c = next_.fetch_add(1, std::memory_order_relaxed)) {
      try {
        const std::size_t end = std::min(lines_.size(), (c + 1) * chunkItems);
        for (std::size_t i = c * chunkItems; i < end; ++i)
          (*codes_)[i] = TLVGenerator::tlvValidation(lines_[i]);
      } catch (...) {
        (*failures_)[c] = std::current_exception();
      }
    }
  }

  void stop() noexcept {
    if (threads_.empty())
      return;
    stopping_ = true;
    start_.arrive_and_wait();
    threads_.clear(); // joins
  }

  nb::object iterator_;
  std::optional<nb::python_error> pending_;
  std::size_t taken_ = 0;
  bool started_ = false;
  bool busy_ = false;
  Batch batches_[2];
  std::size_t current_ = 0;
  std::span<const std::string_view> lines_;
  std::vector<std::vector<std::string>>* codes_ = nullptr;
  std::vector<std::exception_ptr>* failures_ = nullptr;
  std::atomic<std::size_t> next_{0};
  bool running_ = false;
  bool stopping_ = false;
  std::barrier<> start_;
  std::barrier<> done_;
  std::vector<std::jthread> threads_; // last: joined before the rest is destroyed
};

// For the benchmark: the seconds that `count` calls take in C++ alone, doing validate's library
// work (the codes, and the explanation when there are any), so that the binding's own cost shows.
double timeValidation(nb::handle payload, std::size_t count) {
  const std::string_view bytes = payloadBytes(payload, "payload");
  nb::gil_scoped_release release;
  const auto start = std::chrono::steady_clock::now();
  for (std::size_t i = 0; i < count; ++i)
    if (!TLVGenerator::tlvValidation(bytes).empty())
      static_cast<void>(explainPayload(bytes));
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

unsigned jobsToUse(nb::handle jobs) {
  if (jobs.is_none()) {
    const unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : std::min(cores, maxJobs);
  }
  if (!PyLong_Check(jobs.ptr()) || PyBool_Check(jobs.ptr()))
    raise(PyExc_TypeError, "jobs: expected an int or None, got " + typeName(jobs));
  const long value = PyLong_AsLong(jobs.ptr());
  if (value == -1 && PyErr_Occurred())
    PyErr_Clear();
  if (value < 1 || value > static_cast<long>(maxJobs))
    raise(PyExc_ValueError, "jobs: expected 1 to " + std::to_string(maxJobs) + " or None, got " +
                                nb::cast<std::string>(nb::repr(jobs)));
  return static_cast<unsigned>(value);
}

} // namespace
} // namespace pavenda::python

NB_MODULE(_pavenda, m) {
  using namespace pavenda::python;
  m.doc() = "The library's calls; use the package `pavenda`, which wraps them.";
  m.attr("version") = std::string(pavenda::version());
  m.def("validate", &validate, nb::arg("payload").none());
  m.def("explain", &explain, nb::arg("payload").none(), nb::arg("error_correction"));
  m.def("decode", &decode, nb::arg("payload").none());
  m.def("encode", &encode, nb::arg("fields").none());
  m.def("generate", &generate, nb::arg("fields").none());
  m.def("field_keys", &fieldKeys);
  m.def("error_messages", &errorMessages);
  m.def("jobs_to_use", &jobsToUse, nb::arg("jobs").none());
  m.def("time_validation", &timeValidation, nb::arg("payload"), nb::arg("count"));
  nb::class_<ManyValidation>(m, "ManyValidation")
      .def(nb::init<nb::object, unsigned>(), nb::arg("iterator"), nb::arg("jobs"))
      .def("next", &ManyValidation::next);
}
