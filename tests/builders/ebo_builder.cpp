// EBO file builder (placeholder).
