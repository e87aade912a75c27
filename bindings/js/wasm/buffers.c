/* Memory for the JavaScript module: it copies texts in and out of the module's linear memory
   through these two calls, so it never depends on which allocator the C library brings. */
#include <stdlib.h>

__attribute__((export_name("pavenda_wasm_alloc"))) void* pavenda_wasm_alloc(size_t size) {
  return malloc(size == 0 ? 1 : size);
}

__attribute__((export_name("pavenda_wasm_free"))) void pavenda_wasm_free(void* pointer) {
  free(pointer);
}
