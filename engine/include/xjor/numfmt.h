// Placeholder: filled in by the layer that owns it.
#pragma once
