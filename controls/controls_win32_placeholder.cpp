namespace vantoric {}
