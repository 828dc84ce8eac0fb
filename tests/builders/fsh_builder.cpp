// FSH archive builder (placeholder).
