// The one translation unit that compiles stb_image. Only decoding from
// memory is used, and only the formats a skin may hold.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_NO_HDR
#define STBI_NO_LINEAR
#define STBI_NO_PNM
#include <stb_image.h>
