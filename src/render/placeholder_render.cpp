// Keeps the library non-empty until its first real source lands.
namespace tavrel { [[maybe_unused]] static const int placeholder_render = 0; }
