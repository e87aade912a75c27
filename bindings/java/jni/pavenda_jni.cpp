// The JNI side of org.pavenda.NativeLibrary, over the C interface only. Texts cross as UTF-8 byte
// arrays (not modified UTF-8), so NUL and supplementary characters pass unchanged.

#include <jni.h>

#include <cstddef>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include <pavenda/pavenda_c.h>

namespace {

// The class of byte[], looked up once when the library loads.
jclass byteArrayClass = nullptr;

using Texts = std::vector<std::optional<std::string>>;

struct ResponseFree {
  void operator()(pavenda_response* response) const { pavenda_response_free(response); }
};
using Response = std::unique_ptr<pavenda_response, ResponseFree>;

struct FieldsFree {
  void operator()(pavenda_fields* fields) const { pavenda_fields_free(fields); }
};
using FieldsHandle = std::unique_ptr<pavenda_fields, FieldsFree>;

// Thrown inside this file only, when a JNI call has left a Java exception pending.
struct PendingJavaException {};

std::string bytesOf(JNIEnv* env, jbyteArray array) {
  const jsize length = env->GetArrayLength(array);
  std::string bytes(static_cast<std::size_t>(length), '\0');
  env->GetByteArrayRegion(array, 0, length, reinterpret_cast<jbyte*>(bytes.data()));
  if (env->ExceptionCheck())
    throw PendingJavaException{};
  return bytes;
}

std::optional<std::string> optionalBytesAt(JNIEnv* env, jobjectArray array, jsize index) {
  auto element = static_cast<jbyteArray>(env->GetObjectArrayElement(array, index));
  if (env->ExceptionCheck())
    throw PendingJavaException{};
  if (element == nullptr)
    return std::nullopt;
  std::string bytes = bytesOf(env, element);
  env->DeleteLocalRef(element);
  return bytes;
}

jbyteArray newByteArray(JNIEnv* env, const std::string& bytes) {
  jbyteArray array = env->NewByteArray(static_cast<jsize>(bytes.size()));
  if (array == nullptr)
    throw PendingJavaException{};
  env->SetByteArrayRegion(array, 0, static_cast<jsize>(bytes.size()),
                          reinterpret_cast<const jbyte*>(bytes.data()));
  if (env->ExceptionCheck())
    throw PendingJavaException{};
  return array;
}

// The answer to Java: the status as one byte, then the texts (null stays null).
jobjectArray answer(JNIEnv* env, pavenda_status status, const Texts& texts) {
  jobjectArray array =
      env->NewObjectArray(static_cast<jsize>(texts.size() + 1), byteArrayClass, nullptr);
  if (array == nullptr)
    throw PendingJavaException{};
  jbyteArray head = newByteArray(env, std::string(1, static_cast<char>(status)));
  env->SetObjectArrayElement(array, 0, head);
  env->DeleteLocalRef(head);
  for (std::size_t i = 0; i < texts.size(); ++i) {
    if (!texts[i])
      continue;
    jbyteArray element = newByteArray(env, *texts[i]);
    env->SetObjectArrayElement(array, static_cast<jsize>(i + 1), element);
    env->DeleteLocalRef(element);
  }
  return array;
}

// Runs `body`, turning C++ failures into Java exceptions; returns null when one is pending.
template <typename Body> auto guarded(JNIEnv* env, Body body) -> decltype(body()) {
  try {
    return body();
  } catch (const PendingJavaException&) {
  } catch (const std::bad_alloc&) {
    env->ExceptionClear();
    if (jclass error = env->FindClass("java/lang/OutOfMemoryError"))
      env->ThrowNew(error, "pavenda: out of memory in the JNI layer");
  } catch (...) {
    env->ExceptionClear();
    if (jclass error = env->FindClass("java/lang/IllegalStateException"))
      env->ThrowNew(error, "pavenda: unexpected failure in the JNI layer");
  }
  return nullptr;
}

// A text the C interface gives out, taken with its length (it may hold NUL bytes).
template <typename Give> std::optional<std::string> textOf(Give give) {
  std::size_t length = 0;
  const char* text = give(&length);
  return text ? std::optional<std::string>(std::in_place, text, length) : std::nullopt;
}

Texts findingsOf(const pavenda_response* response) {
  Texts texts;
  const std::size_t count = pavenda_response_error_count(response);
  for (std::size_t i = 0; i < count; ++i) {
    texts.push_back(
        textOf([&](std::size_t* n) { return pavenda_response_error_code_n(response, i, n); }));
    texts.push_back(
        textOf([&](std::size_t* n) { return pavenda_response_error_message_n(response, i, n); }));
  }
  return texts;
}

// The payload, then kind, tag, field and detail of each advisory.
Texts payloadAndAdvisoriesOf(const pavenda_response* response) {
  Texts texts{textOf([&](std::size_t* n) { return pavenda_response_payload(response, n); })};
  const std::size_t count = pavenda_response_advisory_count(response);
  for (std::size_t i = 0; i < count; ++i) {
    texts.push_back(
        textOf([&](std::size_t* n) { return pavenda_response_advisory_kind_n(response, i, n); }));
    texts.push_back(
        textOf([&](std::size_t* n) { return pavenda_response_advisory_tag_n(response, i, n); }));
    texts.push_back(
        textOf([&](std::size_t* n) { return pavenda_response_advisory_field_n(response, i, n); }));
    texts.push_back(
        textOf([&](std::size_t* n) { return pavenda_response_advisory_detail_n(response, i, n); }));
  }
  return texts;
}

// Scheme, tip flag, then property / sub-key (absent for a text) / text triples, in record order.
std::optional<Texts> decodedFieldsOf(const std::optional<std::string>& json) {
  using Json = nlohmann::ordered_json;
  if (!json)
    return std::nullopt;
  const Json decoded = Json::parse(*json, nullptr, false);
  if (decoded.is_discarded() || !decoded.contains("scheme") || !decoded.contains("fields"))
    return std::nullopt;
  const Json& fields = decoded["fields"];
  Texts texts{decoded["scheme"].get<std::string>(),
              fields.value("isTipAvailable", false) ? "true" : "false"};
  for (const auto& [name, value] : fields.items()) {
    if (value.is_string()) {
      texts.insert(texts.end(), {name, std::nullopt, value.get<std::string>()});
    } else if (value.is_object()) {
      for (const auto& [subKey, text] : value.items())
        texts.insert(texts.end(), {name, subKey, text.get<std::string>()});
    }
  }
  return texts;
}

// A static catalogue as pairs of texts: the entry count and the two texts of an entry by index.
jobjectArray catalogue(JNIEnv* env, std::size_t (*count)(),
                       const char* (*first)(std::size_t, std::size_t*),
                       const char* (*second)(std::size_t, std::size_t*)) {
  return guarded(env, [&]() -> jobjectArray {
    Texts texts;
    for (std::size_t i = 0; i < count(); ++i) {
      texts.push_back(textOf([&](std::size_t* n) { return first(i, n); }));
      texts.push_back(textOf([&](std::size_t* n) { return second(i, n); }));
    }
    return answer(env, PAVENDA_OK, texts);
  });
}

} // namespace

extern "C" {

JNIEXPORT jint JNICALL JNI_OnLoad(JavaVM* vm, void*) {
  JNIEnv* env = nullptr;
  if (vm->GetEnv(reinterpret_cast<void**>(&env), JNI_VERSION_1_6) != JNI_OK)
    return JNI_ERR;
  jclass local = env->FindClass("[B");
  if (local == nullptr)
    return JNI_ERR;
  byteArrayClass = static_cast<jclass>(env->NewGlobalRef(local));
  env->DeleteLocalRef(local);
  return byteArrayClass == nullptr ? JNI_ERR : JNI_VERSION_1_6;
}

JNIEXPORT jobjectArray JNICALL Java_org_pavenda_NativeLibrary_generate(
    JNIEnv* env, jclass, jobjectArray keys, jobjectArray subKeys, jobjectArray values, jint level) {
  return guarded(env, [&]() -> jobjectArray {
    FieldsHandle fields(pavenda_fields_new());
    if (!fields)
      throw std::bad_alloc();
    const jsize count = env->GetArrayLength(keys);
    for (jsize i = 0; i < count; ++i) {
      const std::string key = optionalBytesAt(env, keys, i).value();
      const std::optional<std::string> subKey = optionalBytesAt(env, subKeys, i);
      const std::string value = optionalBytesAt(env, values, i).value();
      const pavenda_status status =
          subKey ? pavenda_fields_set_template(fields.get(), key.data(), key.size(), subKey->data(),
                                               subKey->size(), value.data(), value.size())
                 : pavenda_fields_set(fields.get(), key.data(), key.size(), value.data(),
                                      value.size());
      if (status != PAVENDA_OK)
        return answer(env, status, {});
    }
    // A negative level asks for no advisories.
    pavenda_response* raw = nullptr;
    const pavenda_status status =
        level < 0 ? pavenda_generate_fields(fields.get(), &raw)
                  : pavenda_generate_fields_explained(fields.get(), level, &raw);
    const Response response(raw);
    switch (status) {
    case PAVENDA_OK:
      return answer(env, status, payloadAndAdvisoriesOf(response.get()));
    case PAVENDA_FINDINGS:
      return answer(env, status, findingsOf(response.get()));
    case PAVENDA_INVALID_FIELDS:
      return answer(env, status, {textOf([&](std::size_t* n) {
                      return pavenda_response_input_error_n(response.get(), n);
                    })});
    default:
      return answer(env, status, {});
    }
  });
}

JNIEXPORT jobjectArray JNICALL Java_org_pavenda_NativeLibrary_validate(JNIEnv* env, jclass,
                                                                       jbyteArray payload) {
  return guarded(env, [&]() -> jobjectArray {
    const std::string text = bytesOf(env, payload);
    pavenda_response* raw = nullptr;
    const pavenda_status status = pavenda_validate(text.data(), text.size(), &raw);
    const Response response(raw);
    return answer(env, status, status == PAVENDA_FINDINGS ? findingsOf(response.get()) : Texts{});
  });
}

JNIEXPORT jobjectArray JNICALL Java_org_pavenda_NativeLibrary_decode(JNIEnv* env, jclass,
                                                                     jbyteArray payload) {
  return guarded(env, [&]() -> jobjectArray {
    const std::string text = bytesOf(env, payload);
    pavenda_response* raw = nullptr;
    const pavenda_status status = pavenda_decode(text.data(), text.size(), &raw);
    const Response response(raw);
    if (status == PAVENDA_UNDECODABLE)
      return answer(env, status, {textOf([&](std::size_t* n) {
                      return pavenda_response_decoding_error_n(response.get(), n);
                    })});
    if (status != PAVENDA_OK)
      return answer(env, status, {});
    const std::optional<Texts> fields = decodedFieldsOf(
        textOf([&](std::size_t* n) { return pavenda_response_decoded_json_n(response.get(), n); }));
    return fields ? answer(env, status, *fields) : answer(env, PAVENDA_INTERNAL_ERROR, {});
  });
}

JNIEXPORT jobjectArray JNICALL Java_org_pavenda_NativeLibrary_fieldCatalogue(JNIEnv* env, jclass) {
  return catalogue(env, pavenda_field_count, pavenda_field_key_n, pavenda_field_tag_n);
}

JNIEXPORT jobjectArray JNICALL Java_org_pavenda_NativeLibrary_errorCatalogue(JNIEnv* env, jclass) {
  return catalogue(env, pavenda_error_catalogue_count, pavenda_error_catalogue_code_n,
                   pavenda_error_catalogue_message_n);
}

JNIEXPORT jbyteArray JNICALL Java_org_pavenda_NativeLibrary_version(JNIEnv* env, jclass) {
  return guarded(env, [&]() -> jbyteArray {
    return newByteArray(env, textOf([](std::size_t* n) { return pavenda_version_n(n); }).value());
  });
}

} // extern "C"
