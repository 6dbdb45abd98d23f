#pragma once

// Makes this library's resources (toolbar icons, About picture) available. A static
// library's resources are not registered on their own; call this before using them.
void initAppResources();
