#pragma once
// Writing a large PDF allocates and frees big buffers page after page;
// by default the C library hands them back to the system each time and
// takes them again at once, which costs more than the writing itself.
// Called once at program start.
void keepFreedMemoryForReuse();
