// Placeholder translation unit until the first source of this library lands.
namespace { [[maybe_unused]] int placeholder_anthems = 0; }
