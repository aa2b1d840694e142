void sevenzip32_placeholder() {}
